/* A demo program of the box: it shows who it is (string 1 of its resources) and ends. */
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR commandLine, int show) {
  wchar_t text[256];
  if (LoadStringW(instance, 1, text, 256) <= 0) lstrcpyW(text, L"Qovra demo");
  MessageBoxW(NULL, text, L"Qovra", MB_OK | MB_ICONINFORMATION);
  return 0;
}
