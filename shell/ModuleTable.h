#pragma once
#include <QString>

// The module table: next-module code -> library file name in the program folder.
// 9999 (quit) has no library; a code not in the table is ignored.
namespace shell {

inline constexpr int kQuitCode = 9999;
inline constexpr int kStartModule = 1100;

// Library file name for a module code ("tvpb_2200.so"), or empty when the code
// is not a module.
QString moduleLibraryName(int code);
bool isModuleCode(int code);

} // namespace shell
