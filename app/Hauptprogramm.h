#pragma once

#include <functional>

#include "archive/ZipUnpacker.h"
#include "controls/Form.h"
#include "platform/Platform.h"

namespace app {

/// The start-up form "Bitte warten...": the main window of the program.
/// Timer2 runs the start-up sequence once; Timer1 waits until the progress
/// bar is full and then opens the first page.
class THauptprogramm : public controls::Form {
 public:
  struct Handlers {
    std::function<void()> runStartup;
    std::function<void()> openFirstPage;
    std::function<bool()> mayClose;
  };

  explicit THauptprogramm(platform::Platform& platform);
  void SetHandlers(Handlers handlers) { handlers_ = std::move(handlers); }

  /// The archive component that the installation borrows for every
  /// extraction; it lives as long as the form.
  archive::TZipUnpacker& ZipUnpacker1() { return zipUnpacker1_; }

 protected:
  void OnCreate() override;
  void FormShow() override;
  bool FormClose() override;
  void OnTimer(UINT_PTR id) override;
  void OnDestroy() override;

 private:
  void Timer1Timer();
  void Timer2Timer();

  Handlers handlers_;
  archive::TZipUnpacker zipUnpacker1_;
};

}  // namespace app
