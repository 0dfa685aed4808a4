// Charts: bars on an axis, a shaded band and marks, drawn with GDI into a
// memory bitmap and copied in one piece, so that a redraw never flickers.
// Every size comes from the client rectangle and the font's height, so the
// picture follows the dialog's scaling.
#include <algorithm>
#include <cmath>

#include "ui/win32/win32_private.h"

namespace veltrin::ui::win32 {
namespace {

constexpr COLORREF kPaper = RGB(255, 255, 255);
constexpr COLORREF kBand = RGB(255, 232, 168);
constexpr COLORREF kBarIn = RGB(0, 84, 166);
constexpr COLORREF kBarOut = RGB(150, 160, 178);
constexpr COLORREF kAxis = RGB(64, 64, 64);
constexpr COLORREF kMark = RGB(214, 24, 24);
constexpr COLORREF kInk = RGB(0, 0, 0);

class TChartPeer final : public TWinPeer {
 public:
  using TWinPeer::TWinPeer;
  bool Paint() override;
  bool PaintsWholeClient() const override { return true; }

 protected:
  TWindowClass WindowClass() const override { return {kBoxClass, 0, WS_EX_CLIENTEDGE}; }

 private:
  void Draw(HDC dc, const RECT& rc) const;
};

void FillBox(HDC dc, int left, int top, int right, int bottom, COLORREF color) {
  RECT r{left, top, right, bottom};
  FillRect(dc, &r, Backend().Brush(color));
}

void TChartPeer::Draw(HDC dc, const RECT& rc) const {
  const TChartState& s = static_cast<const TChart&>(front_).State();
  FillBox(dc, rc.left, rc.top, rc.right, rc.bottom, kPaper);
  HGDIOBJ oldFont = SelectObject(dc, CurrentFont());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kInk);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  const int line = std::max<int>(tm.tmHeight, 8);
  const int pad = line / 2;

  std::wstring title = GbkToWide(s.Title);
  const int n = int(s.Bars.size());
  if (n == 0) {
    RECT r = rc;
    DrawTextW(dc, title.c_str(), int(title.size()), &r,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, oldFont);
    return;
  }
  RECT titleRect{rc.left + pad, rc.top + pad / 2, rc.right - pad, rc.top + pad / 2 + line};
  DrawTextW(dc, title.c_str(), int(title.size()), &titleRect,
            DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);

  // The plot: under the title, over the marks' row and the labels' row.
  const int markSize = std::max(4, line / 2);
  const int left = rc.left + pad, right = rc.right - pad;
  const int top = titleRect.bottom + pad / 2;
  const int base = rc.bottom - pad / 2 - line - markSize - 2;
  if (right - left < 2 || base - top < 2) {
    SelectObject(dc, oldFont);
    return;
  }
  const int width = right - left, height = base - top;
  auto xAt = [&](int bar) { return left + int(int64_t(bar) * width / n); };

  if (s.ShadeFirst >= 0)
    FillBox(dc, xAt(s.ShadeFirst), top, std::max(xAt(s.ShadeLast + 1), xAt(s.ShadeFirst) + 1), base,
            kBand);
  for (int i = 0; i < n; ++i) {
    const double bar = s.Bars[size_t(i)];
    if (bar <= 0) continue;
    int x0 = xAt(i), x1 = std::max(xAt(i + 1), x0 + 1);
    if (x1 - x0 >= 4) --x1;  // a gap between wide bars
    const int h = std::max(1, int(std::lround(bar * height)));
    const bool in = i >= s.ShadeFirst && i <= s.ShadeLast;
    FillBox(dc, x0, base - h, x1, base, in ? kBarIn : kBarOut);
  }
  FillBox(dc, left, base, right, base + 1, kAxis);

  // A mark: a triangle under the axis pointing at its bar.
  HBRUSH markBrush = Backend().Brush(kMark);
  HGDIOBJ oldBrush = SelectObject(dc, markBrush);
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
  for (int bar : s.Marks) {
    const int x = (xAt(bar) + std::max(xAt(bar + 1), xAt(bar) + 1)) / 2;
    POINT tri[3] = {{x, base + 2},
                    {x - markSize / 2, base + 2 + markSize},
                    {x + markSize / 2 + 1, base + 2 + markSize}};
    Polygon(dc, tri, 3);
  }
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);

  RECT labels{left, base + 2 + markSize, right, base + 2 + markSize + line};
  std::wstring leftLabel = GbkToWide(s.LeftLabel), rightLabel = GbkToWide(s.RightLabel);
  DrawTextW(dc, leftLabel.c_str(), int(leftLabel.size()), &labels,
            DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
  DrawTextW(dc, rightLabel.c_str(), int(rightLabel.size()), &labels,
            DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, oldFont);
}

bool TChartPeer::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  RECT rc;
  GetClientRect(hwnd_, &rc);
  // Drawn off screen and copied at once: no flicker between the fill and
  // the bars.
  HDC mem = CreateCompatibleDC(dc);
  HBITMAP bitmap =
      mem ? CreateCompatibleBitmap(dc, std::max<int>(rc.right, 1), std::max<int>(rc.bottom, 1))
          : nullptr;
  if (bitmap) {
    HGDIOBJ old = SelectObject(mem, bitmap);
    Draw(mem, rc);
    BitBlt(dc, 0, 0, rc.right, rc.bottom, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteObject(bitmap);
  } else {
    Draw(dc, rc);  // short of memory: drawn straight, flicker and all
  }
  if (mem) DeleteDC(mem);
  EndPaint(hwnd_, &ps);
  return true;
}

}  // namespace

std::unique_ptr<TWinPeer> MakeChartPeer(TComponent& front, TWin32Backend& backend) {
  return std::make_unique<TChartPeer>(front, backend);
}

}  // namespace veltrin::ui::win32
