// The dialogs' own GBK texts that the system's text table does not hold,
// each with its Chinese beside it.
#pragma once

namespace veltrin {

// The help page the package ships beside the programs (UTF-8 HTML).
inline constexpr char kHelpPageName[] = "veltrin-help.html";

// 容错范围必须是 <min> 到 <max> 之间的整数，请重新输入。
inline constexpr char kTxtToleranceMustBe[] =
    "\xc8\xdd\xb4\xed\xb7\xb6\xce\xa7\xb1\xd8\xd0\xeb\xca\xc7 ";  // 容错范围必须是
inline constexpr char kTxtToleranceTo[] = " \xb5\xbd ";           // 到
inline constexpr char kTxtToleranceTail[] =
    " \xd6\xae\xbc\xe4\xb5\xc4\xd5\xfb\xca\xfd\xa3\xac\xc7\xeb\xd6\xd8\xd0\xc2\xca\xe4\xc8\xeb"
    "\xa1\xa3";  // 之间的整数，请重新输入。
inline constexpr char kTxtHelpMissing[] =
    "\xd5\xd2\xb2\xbb\xb5\xbd\xb0\xef\xd6\xfa\xce\xc4\xbc\xfe\xa3\xba";  // 找不到帮助文件：
inline constexpr char kTxtHelpOpenFailed[] =
    "\xce\xde\xb7\xa8\xb4\xf2\xbf\xaa\xb0\xef\xd6\xfa\xa3\xba";  // 无法打开帮助：

}  // namespace veltrin
