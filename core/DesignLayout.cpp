#include "core/DesignLayout.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace core {

namespace {

using W = WindowId;

// The wizard pages' frame: client area, header band with title, subtitle and
// picture, button band with back, forward and cancel, the greyed signature.
constexpr int kPageWidth = 492;
constexpr int kPage6Width = 491;
constexpr int kPageHeight = 354;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonTop =
    kPageHeight - kButtonBandHeight + (kButtonBandHeight - kButtonHeight) / 2;

constexpr Bounds Client(int width, int height = kPageHeight) {
  return {0, 0, width, height};
}
constexpr Bounds Title(int width) {
  return {16, 9, width - 96, 16};
}
constexpr Bounds Subtitle(int width) {
  return {28, 27, width - 108, 28};
}
constexpr Bounds HeaderPicture(int width) {
  return {width - 57, 2, 53, 53};
}
constexpr Bounds Cancel(int width) {
  return {width - 8 - kButtonWidth, kButtonTop, kButtonWidth, kButtonHeight};
}
constexpr Bounds Forward(int width) {
  return {Cancel(width).left - 10 - kButtonWidth, kButtonTop, kButtonWidth, kButtonHeight};
}
constexpr Bounds Back(int width) {
  return {Forward(width).left - kButtonWidth, kButtonTop, kButtonWidth, kButtonHeight};
}
constexpr Bounds kSignatureName = {8, kPageHeight - 24, 84, 14};
constexpr Bounds kSignatureVersion = {92, kPageHeight - 24, 24, 14};

// The welcome and finish pages: the side picture at the left, texts right of
// it.
constexpr int kSideLeft = 176;
constexpr int kSideTextWidth = kPageWidth - kSideLeft - 16;
constexpr Bounds kSidePicture = {0, 0, 163, kPageHeight};

// The top of the pages' body, below the header band.
constexpr int kBodyTop = 68;

// The summary page: right-aligned captions with their values beside them.
constexpr int kCaptionLeft = 8;
constexpr int kCaptionWidth = 140;
constexpr int kValueLeft = kCaptionLeft + kCaptionWidth + 6;
constexpr Bounds SummaryCaption(int row) {
  return {kCaptionLeft, kBodyTop + 8 + 24 * row, kCaptionWidth, 16};
}
constexpr Bounds SummaryValue(int row) {
  return {kValueLeft, kBodyTop + 8 + 24 * row, 331, 16};
}

constexpr DesignPlace kPlaces[] = {
    {W::Hauptprogramm, "", {0, 0, 350, 105}},
    {W::Hauptprogramm, "Image1", {8, 8, 53, 53}},
    {W::Hauptprogramm, "Label1", {72, 8, 270, 16}},
    {W::Hauptprogramm, "Label2", {72, 26, 270, 40}},
    {W::Hauptprogramm, "Label3", {8, 66, 334, 14}},
    {W::Hauptprogramm, "ProgressBar1", {8, 84, 334, 14}},

    {W::Schritt1, "", Client(kPageWidth)},
    {W::Schritt1, "Image1", kSidePicture},
    {W::Schritt1, "Label1", {kSideLeft, 16, kSideTextWidth, 36}},
    {W::Schritt1, "Label2", {kSideLeft, 64, kSideTextWidth, 30}},
    {W::Schritt1, "Label3", {kSideLeft, 104, kSideTextWidth, 56}},
    {W::Schritt1, "Label4", {kSideLeft, 270, kSideTextWidth, 30}},
    {W::Schritt1, "Button2", Forward(kPageWidth)},
    {W::Schritt1, "Button1", Cancel(kPageWidth)},

    {W::Schritt2, "", Client(kPageWidth)},
    {W::Schritt2, "Label1", Title(kPageWidth)},
    {W::Schritt2, "Label4", Subtitle(kPageWidth)},
    {W::Schritt2, "Image1", HeaderPicture(kPageWidth)},
    {W::Schritt2, "Memo1", {16, kBodyTop, kPageWidth - 32, 196}},
    {W::Schritt2, "Label2", {16, kBodyTop + 204, kPageWidth - 32, 40}},
    {W::Schritt2, "Button4", Back(kPageWidth)},
    {W::Schritt2, "Button2", Forward(kPageWidth)},
    {W::Schritt2, "Button1", Cancel(kPageWidth)},
    {W::Schritt2, "SignatureName", kSignatureName},
    {W::Schritt2, "SignatureVersion", kSignatureVersion},

    {W::Schritt3, "", Client(kPageWidth)},
    {W::Schritt3, "Label1", Title(kPageWidth)},
    {W::Schritt3, "Label4", Subtitle(kPageWidth)},
    {W::Schritt3, "Image1", HeaderPicture(kPageWidth)},
    {W::Schritt3, "Memo1", {16, kBodyTop, kPageWidth - 32, 196}},
    {W::Schritt3, "Label2", {16, kBodyTop + 204, kPageWidth - 32, 30}},
    {W::Schritt3, "Button4", Back(kPageWidth)},
    {W::Schritt3, "Button2", Forward(kPageWidth)},
    {W::Schritt3, "Button1", Cancel(kPageWidth)},
    {W::Schritt3, "SignatureName", kSignatureName},
    {W::Schritt3, "SignatureVersion", kSignatureVersion},

    {W::Schritt4, "", Client(kPageWidth)},
    {W::Schritt4, "Label1", Title(kPageWidth)},
    {W::Schritt4, "Label4", Subtitle(kPageWidth)},
    {W::Schritt4, "Image1", HeaderPicture(kPageWidth)},
    {W::Schritt4, "Edit1", {40, kBodyTop + 4, 409, 21}},
    {W::Schritt4, "DirTree1", {40, 104, 409, 177}},
    {W::Schritt4, "Label2", {40, kBodyTop + 212, 409, 16}},
    {W::Schritt4, "Button4", Back(kPageWidth)},
    {W::Schritt4, "Button2", Forward(kPageWidth)},
    {W::Schritt4, "Button1", Cancel(kPageWidth)},
    {W::Schritt4, "SignatureName", kSignatureName},
    {W::Schritt4, "SignatureVersion", kSignatureVersion},

    {W::Schritt5, "", Client(kPageWidth)},
    {W::Schritt5, "Label1", Title(kPageWidth)},
    {W::Schritt5, "Label4", Subtitle(kPageWidth)},
    {W::Schritt5, "Image1", HeaderPicture(kPageWidth)},
    {W::Schritt5, "Label5", {40, kBodyTop + 40, 80, 16}},
    {W::Schritt5, "Edit1", {128, kBodyTop + 37, 225, 21}},
    {W::Schritt5, "Label6", {40, kBodyTop + 72, 80, 16}},
    {W::Schritt5, "Edit2", {128, kBodyTop + 69, 225, 21}},
    {W::Schritt5, "Label2", {16, kBodyTop + 200, kPageWidth - 32, 30}},
    {W::Schritt5, "Button4", Back(kPageWidth)},
    {W::Schritt5, "Button2", Forward(kPageWidth)},
    {W::Schritt5, "Button1", Cancel(kPageWidth)},
    {W::Schritt5, "SignatureName", kSignatureName},
    {W::Schritt5, "SignatureVersion", kSignatureVersion},

    {W::Schritt6, "", Client(kPage6Width)},
    {W::Schritt6, "Label1", Title(kPage6Width)},
    {W::Schritt6, "Label4", Subtitle(kPage6Width)},
    {W::Schritt6, "Image1", HeaderPicture(kPage6Width)},
    {W::Schritt6, "Label5", {24, kBodyTop, 441, 42}},
    {W::Schritt6, "Label6", {24, kBodyTop + 46, 441, 16}},
    {W::Schritt6, "Edit1", {24, kBodyTop + 64, 441, 21}},
    {W::Schritt6, "ListBox1", {24, kBodyTop + 85, 441, 121}},
    {W::Schritt6, "CheckBox1", {24, kBodyTop + 210, 200, 17}},
    {W::Schritt6, "Label2", {24, kBodyTop + 232, 441, 16}},
    {W::Schritt6, "Button4", Back(kPage6Width)},
    {W::Schritt6, "Button2", Forward(kPage6Width)},
    {W::Schritt6, "Button1", Cancel(kPage6Width)},
    {W::Schritt6, "SignatureName", kSignatureName},
    {W::Schritt6, "SignatureVersion", kSignatureVersion},

    {W::Schritt7, "", Client(kPageWidth)},
    {W::Schritt7, "Label1", Title(kPageWidth)},
    {W::Schritt7, "Label4", Subtitle(kPageWidth)},
    {W::Schritt7, "Image1", HeaderPicture(kPageWidth)},
    {W::Schritt7, "Label2", SummaryCaption(0)},
    {W::Schritt7, "Label10", SummaryValue(0)},
    {W::Schritt7, "Label7", SummaryCaption(1)},
    {W::Schritt7, "Label11", SummaryValue(1)},
    {W::Schritt7, "Label5", SummaryCaption(2)},
    {W::Schritt7, "Label8", SummaryValue(2)},
    {W::Schritt7, "Label6", SummaryCaption(3)},
    {W::Schritt7, "Label9", SummaryValue(3)},
    {W::Schritt7, "Label13", {24, kBodyTop + 106, kPageWidth - 48, 28}},
    {W::Schritt7, "Label12", {24, kBodyTop + 140, kPageWidth - 48, 56}},
    {W::Schritt7, "Button4", Back(kPageWidth)},
    {W::Schritt7, "Button2", Forward(kPageWidth)},
    {W::Schritt7, "Button1", Cancel(kPageWidth)},
    {W::Schritt7, "SignatureName", kSignatureName},
    {W::Schritt7, "SignatureVersion", kSignatureVersion},

    {W::Install, "", Client(kPageWidth)},
    {W::Install, "Label1", Title(kPageWidth)},
    {W::Install, "Label12", Subtitle(kPageWidth)},
    {W::Install, "Image1", HeaderPicture(kPageWidth)},
    {W::Install, "Label2", {24, 100, kPageWidth - 48, 16}},
    {W::Install, "Label5", {24, 122, kPageWidth - 48, 16}},
    {W::Install, "ProgressBar1", {50, 201, 370, 17}},
    {W::Install, "Button1", Cancel(kPageWidth)},
    {W::Install, "SignatureName", kSignatureName},
    {W::Install, "SignatureVersion", kSignatureVersion},

    {W::Ready, "", Client(kPageWidth)},
    {W::Ready, "Image1", kSidePicture},
    {W::Ready, "Label1", {kSideLeft, 16, kSideTextWidth, 36}},
    {W::Ready, "Label2", {kSideLeft, 64, kSideTextWidth, 44}},
    {W::Ready, "Image2", {kSideLeft, 136, 128, 65}},
    {W::Ready, "Label3", {kSideLeft, 212, kSideTextWidth, 16}},
    {W::Ready, "Label8", {kSideLeft, 230, kSideTextWidth, 16}},
    {W::Ready, "Label9", {kSideLeft, 248, kSideTextWidth, 16}},
    {W::Ready, "Label4", {kSideLeft, 272, kSideTextWidth, 16}},
    {W::Ready, "Button1", Cancel(kPageWidth)},

    {W::RebootForm, "", Client(kPageWidth)},
    {W::RebootForm, "Label1", Title(kPageWidth)},
    {W::RebootForm, "Label4", Subtitle(kPageWidth)},
    {W::RebootForm, "Image1", HeaderPicture(kPageWidth)},
    {W::RebootForm, "Label2", {24, 72, kPageWidth - 48, 44}},
    {W::RebootForm, "Label5", {24, 124, kPageWidth - 48, 16}},
    {W::RebootForm, "RadioButton1", {40, 148, kPageWidth - 64, 18}},
    {W::RebootForm, "RadioButton2", {40, 170, kPageWidth - 64, 18}},
    {W::RebootForm, "Label6", {24, 200, kPageWidth - 48, 30}},
    {W::RebootForm, "Button2", Forward(kPageWidth)},
    {W::RebootForm, "Button1", Cancel(kPageWidth)},
    {W::RebootForm, "SignatureName", kSignatureName},
    {W::RebootForm, "SignatureVersion", kSignatureVersion},

    {W::PasswordDlg, "", {0, 0, 336, 110}},
    {W::PasswordDlg, "Label1", {20, 8, 297, 18}},
    {W::PasswordDlg, "Edit1", {20, 40, 297, 21}},
    {W::PasswordDlg, "Button1", {44, 72, 90, 28}},
    {W::PasswordDlg, "Button2", {205, 72, 90, 28}},

    {W::Uninstall, "", {0, 0, 420, 112}},
    {W::Uninstall, "Label1", {16, 14, 388, 16}},
    {W::Uninstall, "Label2", {16, 38, 388, 16}},
    {W::Uninstall, "ProgressBar1", {16, 66, 388, 18}},
};

}  // namespace

int ScaleToDpi(int value, int dpi) {
  const int64_t product = static_cast<int64_t>(value) * dpi;
  const int64_t half = kDesignDpi / 2;
  return static_cast<int>(product >= 0 ? (product + half) / kDesignDpi
                                       : (product - half) / kDesignDpi);
}

Bounds ScaleToDpi(const Bounds& bounds, int dpi) {
  const int left = ScaleToDpi(bounds.left, dpi);
  const int top = ScaleToDpi(bounds.top, dpi);
  return {left, top, ScaleToDpi(bounds.Right(), dpi) - left,
          ScaleToDpi(bounds.Bottom(), dpi) - top};
}

std::span<const DesignPlace> DesignLayout() {
  return kPlaces;
}

Bounds DesignBoundsOf(WindowId window, std::string_view control) {
  for (const DesignPlace& place : kPlaces) {
    if (place.window == window && place.control == control)
      return place.bounds;
  }
  throw std::logic_error("Fenster " + std::to_string(static_cast<int>(window)) +
                         " hat keinen Platz für \"" + std::string(control) + "\"");
}

Bounds FitText(const Bounds& bounds, const Bounds& room, bool growLeft,
               const MeasureText& measure) {
  const auto fits = [&](int width) {
    const TextSize need = measure(width);
    return need.width <= width && need.height <= bounds.height;
  };
  if (fits(bounds.width))
    return bounds;
  const int widest =
      std::max(bounds.width, growLeft ? bounds.Right() - room.left : room.Right() - bounds.left);
  const auto placed = [&](int width, int height) {
    return Bounds{growLeft ? bounds.Right() - width : bounds.left, bounds.top, width, height};
  };
  if (fits(widest)) {
    // The narrowest width that holds the text: `low` does not, `high` does.
    int low = bounds.width;
    int high = widest;
    while (high - low > 1) {
      const int middle = low + (high - low) / 2;
      (fits(middle) ? high : low) = middle;
    }
    return placed(high, bounds.height);
  }
  const TextSize need = measure(widest);
  const int lowest = std::max(bounds.height, room.Bottom() - bounds.top);
  return placed(widest, std::clamp(need.height, bounds.height, lowest));
}

}  // namespace core
