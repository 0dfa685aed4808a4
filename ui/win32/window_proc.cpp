// The window procedures: the backend's own windows (forms, panels, tab
// sheets) hand their children's notifications to the children's peers, and
// edit boxes pass typed keys through their control's key handler.
#include "ui/win32/win32_private.h"

namespace veltrin::ui::win32 {
namespace {

LRESULT HandleBox(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, bool& handled) {
  handled = true;
  TWinPeer* self = PeerOf(hwnd);
  switch (msg) {
    case WM_NCCREATE:
      // The peer that is making this window comes as its creation parameter.
      if (auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lp))
        if (cs->lpCreateParams) SetPropW(hwnd, kPeerProp, cs->lpCreateParams);
      break;
    case WM_COMMAND:
      if (lp) {
        if (TWinPeer* child = PeerOf(reinterpret_cast<HWND>(lp))) {
          TDpiContextScope host(child->HostDpiContext());
          child->OnCommand(HIWORD(wp));
          return 0;
        }
        break;
      }
      [[fallthrough]];
    case WM_CLOSE:
    case WM_COPYDATA:
    case WM_ACTIVATE:
    case WM_SETFOCUS:
    case DM_GETDEFID:
    case kMsgRunHook: {
      LRESULT result = 0;
      // The form's handlers run as the host's code does (see HostDpiContext).
      TDpiContextScope host(self ? self->HostDpiContext() : nullptr);
      if (self && self->OnFormMessage(msg, wp, lp, result)) return result;
      break;
    }
    case WM_DPICHANGED: {
      LRESULT result = 0;
      if (self && self->OnFormMessage(msg, wp, lp, result)) return result;
      break;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<const NMHDR*>(lp);
      if (TWinPeer* child = header ? PeerOf(header->hwndFrom) : nullptr) {
        TDpiContextScope host(child->HostDpiContext());
        return child->OnNotify(*header);
      }
      break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN: {
      HWND from = reinterpret_cast<HWND>(lp);
      TWinPeer* child = PeerOf(from);
      if (!child) child = PeerOf(GetParent(from));  // the edit inside a combo box
      if (child) return reinterpret_cast<LRESULT>(child->CtlColor(reinterpret_cast<HDC>(wp)));
      break;
    }
    case WM_DRAWITEM: {
      auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (TWinPeer* child = dis ? PeerOf(dis->hwndItem) : nullptr) {
        child->DrawItem(*dis);
        return TRUE;
      }
      break;
    }
    case WM_CONTEXTMENU:
      if (TWinPeer* child = PeerOf(reinterpret_cast<HWND>(wp)))
        if (child->ShowPopup(lp)) return 0;
      break;
    case WM_SETCURSOR:
      if (Backend().Waiting()) {
        SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
        return TRUE;
      }
      if (TWinPeer* child = PeerOf(reinterpret_cast<HWND>(wp)))
        if (child->HandCursor()) {
          SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
          return TRUE;
        }
      break;
    case WM_ERASEBKGND:
      if (self && self->PaintsWholeClient()) return 1;
      if (self) {
        RECT rc;
        GetClientRect(hwnd, &rc);
        FillRect(reinterpret_cast<HDC>(wp), &rc, Backend().Brush(self->Background()));
        return 1;
      }
      break;
    case WM_PAINT:
      if (self && self->Paint()) return 0;
      break;
    default:
      break;
  }
  handled = false;
  return 0;
}

}  // namespace

LRESULT CALLBACK BoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  // Nothing thrown may unwind into the system's message dispatch.
  try {
    bool handled = false;
    LRESULT r = HandleBox(hwnd, msg, wp, lp, handled);
    if (handled) return r;
  } catch (...) {
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK EditSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                              DWORD_PTR ref) {
  if (msg == WM_CHAR) {
    auto* peer = reinterpret_cast<TWinPeer*>(ref);
    if (PeerOf(hwnd) == peer) {
      wchar_t key = peer->Control().UserKeyPress(wchar_t(wp));
      if (key == 0) return 0;
      wp = WPARAM(key);
    }
  } else if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, EditSubclass, id);
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace veltrin::ui::win32
