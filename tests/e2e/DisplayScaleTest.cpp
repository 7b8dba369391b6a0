#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/SystemFunction.h"
#include "tests/e2e/Scenario.h"

namespace e2e {
namespace {

using platform::win32::Narrow;

// The display's scale as Wine takes it, for the programs started after it
// is written: fonts and the DPI that Setup.exe reads.
void SetDisplayDpi(int dpi) {
  const DWORD value = static_cast<DWORD>(dpi);
  if (RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &value,
                      sizeof value) != ERROR_SUCCESS) {
    throw HarnessError("LogPixels cannot be written");
  }
}

// This thread sees the windows of Setup.exe in their own pixels: per-monitor
// aware, no coordinate is scaled between the two processes. Without the
// function (before Windows 10 1607) every window has the system DPI anyway.
void SeeRealPixels() {
  using SetThreadDpiAwarenessContextFn = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
  const auto set = platform::win32::SystemFunction<SetThreadDpiAwarenessContextFn>(
      L"user32.dll", "SetThreadDpiAwarenessContext");
  if (set)
    set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
}

int Scaled(int value, int dpi) {
  return MulDiv(value, dpi, 96);
}

SIZE ClientSize(HWND window) {
  RECT rect;
  GetClientRect(window, &rect);
  return {rect.right, rect.bottom};
}

std::string ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return Narrow(name);
}

// Whether the control's text is bold, as the windows are designed: the
// titles (Label1), the summary page's values and the installation form's
// status line.
bool Bold(HWND control) {
  const std::string window = ClassOf(GetParent(control));
  const int id = GetDlgCtrlID(control);
  if (id == 1001)
    return true;
  if (window == "TSchritt7")
    return id >= 1008 && id <= 1011;
  return window == "TInstall" && id == 1002;
}

// What a control's text needs, measured in the control's font as the
// control draws it: a static text wrapped at the control's width (or on one
// line when it does not wrap); a push button besides its text its edges and
// focus frame (10 pixels at 96 DPI); a check box or radio button its box
// and the gap after it (18 pixels at 96 DPI). The font is the forms' own,
// Tahoma at 8 points at this DPI: the handle WM_GETFONT gives belongs to
// Setup.exe's process, and a GDI object does not work in another.
struct Need {
  SIZE text;
  int extra;
};

Need Measure(HWND control, int dpi) {
  const LONG style = GetWindowLongW(control, GWL_STYLE);
  const bool isStatic = ClassOf(control) == "Static";
  const int length = GetWindowTextLengthW(control);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), length + 1)));

  HFONT font = CreateFontW(-MulDiv(8, dpi, 72), 0, 0, 0, Bold(control) ? FW_BOLD : FW_NORMAL, FALSE,
                           FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Tahoma");
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);

  RECT client;
  GetClientRect(control, &client);
  Need need = {};
  UINT format = DT_CALCRECT | DT_EXPANDTABS | DT_SINGLELINE;
  if (isStatic && (style & SS_TYPEMASK) != SS_LEFTNOWORDWRAP)
    format = DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK;
  if (!isStatic) {
    const LONG kind = style & BS_TYPEMASK;
    need.extra = Scaled(kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON ? 10 : 18, dpi);
  }
  RECT rect = {0, 0, client.right - need.extra, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format);
  need.text = {rect.right, rect.bottom};

  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  DeleteObject(font);
  return need;
}

// Every visible static text, button and check box of the window whose text
// its control cannot hold, with what it needs.
std::vector<std::string> CutTexts(HWND window, int dpi) {
  std::vector<HWND> controls;
  EnumChildWindows(
      window,
      [](HWND child, LPARAM list) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&controls));
  std::vector<std::string> cut;
  for (HWND control : controls) {
    const std::string kind = ClassOf(control);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    if (!IsWindowVisible(control) || GetWindowTextLengthW(control) == 0)
      continue;
    if (kind != "Static" && kind != "Button")
      continue;
    if (kind == "Static" && ((style & SS_TYPEMASK) == SS_BITMAP))
      continue;
    const Need need = Measure(control, dpi);
    const SIZE size = ClientSize(control);
    if (need.text.cx + need.extra > size.cx || need.text.cy > size.cy) {
      cut.push_back(WindowText(control) + ": " + std::to_string(size.cx) + " x " +
                    std::to_string(size.cy) + " holds no " +
                    std::to_string(need.text.cx + need.extra) + " x " +
                    std::to_string(need.text.cy));
    }
  }
  return cut;
}

struct ScaleCase {
  const char* name;
  int dpi;
};

class DisplayScale : public Scenario, public testing::WithParamInterface<ScaleCase> {
 protected:
  void SetUp() override {
    SetDisplayDpi(GetParam().dpi);
    SeeRealPixels();
  }

  // The window is the documented size times the scale, and every text of it
  // fits its control.
  void ExpectWhole(HWND window, int designWidth) {
    const int dpi = GetParam().dpi;
    SCOPED_TRACE(WindowText(window));
    const SIZE size = ClientSize(window);
    EXPECT_EQ(size.cx, Scaled(designWidth, dpi));
    EXPECT_EQ(size.cy, Scaled(354, dpi));
    EXPECT_EQ(CutTexts(window, dpi), std::vector<std::string>{});
  }
};

// Every page of the wizard, the restart page and the finish page, walked at
// this scale.
TEST_P(DisplayScale, EveryPageIsWholeAndHoldsItsTexts) {
  folder_.CopyPrepared("produkt");
  folder_.Write("Setup.inf",
                std::string(kDemoSetupInf) + "License=True\r\nInformation=True\r\nReboot=true\r\n");
  SetupProcess& setup = Start();
  const struct {
    const char* windowClass;
    int width;
  } pages[] = {{"TSchritt1", 492}, {"TSchritt2", 492}, {"TSchritt3", 492}, {"TSchritt4", 492},
               {"TSchritt6", 491}, {"TSchritt5", 492}, {"TSchritt7", 492}};
  for (const auto& page : pages) {
    HWND window = setup.WaitForVisible(page.windowClass);
    ExpectWhole(window, page.width);
    if (std::string_view(page.windowClass) == "TSchritt4") {
      SendMessageW(Control(window, "Edit1"), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(L"C:\\Programme\\Firma\\Demo 1.0"));
    }
    Click(window, "Button2");
  }
  HWND reboot = setup.WaitForVisible("TRebootForm");
  ExpectWhole(reboot, 492);
  SendMessageW(Control(reboot, "RadioButton2"), BM_CLICK, 0, 0);
  Click(reboot, "Button2");
  HWND finish = setup.WaitForVisible("TReady");
  ExpectWhole(finish, 492);
  Post(finish, WM_SYSCOMMAND, SC_CLOSE);
  EXPECT_EQ(setup.WaitForExit(), 3010u);
}

// The installation form, held by a component program that waits, so that
// its lines stand still while they are measured.
TEST_P(DisplayScale, TheInstallationFormIsWholeAndHoldsItsTexts) {
  folder_.CopyPrepared("wartet");
  SetupProcess& setup = Start();
  HWND install = StartInstallation(setup, folder_.Path() + "Ziel");
  WaitUntil("the component program's start", [] { return PathExists("C:\\gestartet.txt"); });
  ExpectWhole(install, 492);
  Click(install, "Button1");
  setup.WaitForMessageBox("Setup beenden").Press(IDYES);
  setup.WaitForMessageBox("Installation rückgängig gemacht - Tessarwolden").Press(IDOK);
  EXPECT_EQ(setup.WaitForExit(), 6u);
}

// A product name long enough that the welcome page's title needs more lines
// than its place holds: it grows within the page, at every scale, and so do
// the other texts that carry the name where they need to. (The header's
// subtitle holds two lines; a name that needs a third there is cut.)
TEST_P(DisplayScale, TextsOfALongProductNameGrowUntilTheyFit) {
  folder_.Write("Setup.inf",
                "[Settings]\r\n"
                "AppName=Tessarwolden B\xfcrokommunikation f\xfcr Arbeitsgruppen\r\n"
                "Version=2.1\r\n"
                "Company=Firma\r\n");
  {
    SetupProcess& setup = Start();
    HWND welcome = setup.WaitForVisible("TSchritt1");
    ExpectWhole(welcome, 492);
    Click(welcome, "Button2");
    HWND target = setup.WaitForVisible("TSchritt4");
    ExpectWhole(target, 492);
    Post(target, WM_SYSCOMMAND, SC_CLOSE);
    setup.WaitForMessageBox("Setup beenden").Press(IDYES);
    EXPECT_EQ(setup.WaitForExit(), 1u);
  }
  SetupProcess& ready = Start("/ready");
  HWND finish = ready.WaitForVisible("TReady");
  ExpectWhole(finish, 492);
  Post(finish, WM_SYSCOMMAND, SC_CLOSE);
  EXPECT_EQ(ready.WaitForExit(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Scales, DisplayScale,
                         testing::Values(ScaleCase{"dpi96", 96}, ScaleCase{"dpi120", 120},
                                         ScaleCase{"dpi144", 144}, ScaleCase{"dpi192", 192}),
                         RowName());

}  // namespace
}  // namespace e2e
