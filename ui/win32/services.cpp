// The services: message boxes, file dialogs, clipboard, hourglass and
// starting a program and opening a document.
#include <algorithm>
#include <stdexcept>

#include "ui/win32/win32_private.h"

// After windows.h (win32_private.h).
#include <shellapi.h>

namespace veltrin::ui::win32 {
namespace {

HWND OwnerWindow(TForm* owner) {
  if (owner && owner->PeerOrNull()) {
    HWND h = static_cast<TWinPeer*>(owner->PeerOrNull())->Hwnd();
    if (IsWindowVisible(h)) return h;
  }
  return GetActiveWindow();
}

}  // namespace

TModalResult TWin32Backend::MessageDlg(TForm* owner, TMsgKind kind, const std::string& text,
                                       const std::string& caption, TMsgButtons buttons,
                                       bool defaultSecond) {
  UINT flags = buttons == TMsgButtons::YesNo ? MB_YESNO : MB_OK;
  switch (kind) {
    case TMsgKind::Error:
      flags |= MB_ICONERROR;
      break;
    case TMsgKind::Info:
      flags |= MB_ICONINFORMATION;
      break;
    case TMsgKind::Question:
      flags |= MB_ICONQUESTION;
      break;
    case TMsgKind::Warning:
      flags |= MB_ICONWARNING;
      break;
  }
  if (defaultSecond) flags |= MB_DEFBUTTON2;
  int r =
      MessageBoxW(OwnerWindow(owner), GbkToWide(text).c_str(), GbkToWide(caption).c_str(), flags);
  return r == 0 ? mrCancel : TModalResult(r);
}

bool TWin32Backend::FileDialog(TForm* owner, TFileDialogState& state) {
  // "text|pattern|text|pattern" becomes the zero-separated list Win32 wants.
  std::wstring filter = GbkToWide(state.Filter);
  for (wchar_t& c : filter)
    if (c == L'|') c = L'\0';
  filter.push_back(L'\0');
  filter.push_back(L'\0');
  std::wstring initial = GbkToWide(state.InitialDir);
  std::wstring ext = GbkToWide(state.DefaultExt);
  std::wstring title = GbkToWide(state.Title);
  std::vector<wchar_t> file(32768, L'\0');
  std::wstring proposed = GbkToWide(state.FileName);
  std::copy_n(proposed.begin(), std::min(proposed.size(), file.size() - 1), file.begin());

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = OwnerWindow(owner);
  ofn.lpstrFilter = state.Filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = DWORD(file.size());
  ofn.lpstrInitialDir = initial.empty() ? nullptr : initial.c_str();
  ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  // The host's current folder stays: relative paths it uses resolve as before.
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
  BOOL ok = state.Save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
  if (!ok) return false;
  state.FileName = WideToGbk(file.data());
  return true;
}

bool TWin32Backend::SetClipboardText(TForm* owner, const std::string& text) {
  std::wstring wide = GbkToWide(text);
  // Opened without an owner, EmptyClipboard leaves the clipboard to nobody;
  // the form's window owns it, shown or not.
  HWND window = owner && owner->PeerOrNull() ? static_cast<TWinPeer*>(owner->PeerOrNull())->Hwnd()
                                             : GetActiveWindow();
  if (!OpenClipboard(window)) return false;
  bool done = false;
  if (EmptyClipboard()) {
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t));
    if (auto* p = mem ? static_cast<wchar_t*>(GlobalLock(mem)) : nullptr) {
      std::copy(wide.begin(), wide.end(), p);
      p[wide.size()] = L'\0';
      GlobalUnlock(mem);
      done = SetClipboardData(CF_UNICODETEXT, mem) != nullptr;
    }
    if (mem && !done) GlobalFree(mem);
  }
  CloseClipboard();
  return done;
}

std::string TWin32Backend::ClipboardText() {
  if (!OpenClipboard(nullptr)) return {};
  std::string out;
  if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
    if (auto* p = static_cast<const wchar_t*>(GlobalLock(h))) {
      out = WideToGbk(p);
      GlobalUnlock(h);
    }
  }
  CloseClipboard();
  return out;
}

void TWin32Backend::BeginWait() {
  if (waitDepth_++ == 0)
    savedCursor_ = SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
}

void TWin32Backend::EndWait() {
  if (waitDepth_ > 0 && --waitDepth_ == 0)
    SetCursor(savedCursor_ ? savedCursor_
                           : LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
}

bool TWin32Backend::OpenDocument(const std::string& path) {
  // The shell's own answer for the document's kind (the player's browser
  // for a page); 32 and below are its failures.
  const HINSTANCE done =
      ShellExecuteW(nullptr, L"open", GbkToWide(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(done) > 32;
}

void TWin32Backend::RunProgram(const std::string& commandLine) {
  // In UTF-16: a path outside the system's code page survives.
  std::wstring line = GbkToWide(commandLine);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    throw std::runtime_error("cannot start the program");
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

}  // namespace veltrin::ui::win32
