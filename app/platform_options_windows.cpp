// Under Wine, GDI draws the small captions in the outline fonts Wine offers with misshapen
// letters ("accurate" reads "accwate"); Qt's own FreeType rasterizer draws them as on Linux.
// Windows itself keeps its native text. The plugin that reaches its desktop can be missing.
#include <windows.h>

#include <QByteArray>
#include <QtGlobal>

#include "platform_options.h"

namespace freqsmith {
namespace {

bool runsUnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace

void choosePlatformOptions() {
  if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || !runsUnderWine()) return;
  qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("windows:fontengine=freetype"));
}

std::string whyNoWindow() {
  // What fails on Windows is the plugin itself: a copied freqsmith.exe without its folder.
  return "Qt's platform plugin platforms\\qwindows.dll, which belongs in the program's folder, "
         "could not be loaded";
}

}  // namespace freqsmith
