#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/DesignLayout.h"
#include "core/DesignTexts.h"

namespace core {
namespace {

constexpr int kScales[] = {96, 120, 144, 192};

struct ScaleCase {
  int value;
  int dpi;
  int expected;
};

// Halves round away from zero, as MulDiv does: 1.5 is 2, 112.5 is 113,
// -16.5 is -17; everything else to the nearest pixel.
TEST(ScaleToDpi, RoundsAsWindowsScalesDialogs) {
  const ScaleCase cases[] = {
      {0, 144, 0},     {1, 96, 1},        {1, 120, 1},     {1, 144, 2},     {1, 192, 2},
      {3, 144, 5},     {17, 144, 26},     {25, 120, 31},   {57, 120, 71},   {57, 144, 86},
      {75, 120, 94},   {75, 144, 113},    {354, 120, 443}, {409, 192, 818}, {-11, 144, -17},
      {-11, 120, -14}, {2000, 144, 3000}, {491, 144, 737},
  };
  for (const ScaleCase& c : cases) {
    EXPECT_EQ(ScaleToDpi(c.value, c.dpi), c.expected) << c.value << " at " << c.dpi;
  }
}

TEST(ScaleToDpi, ScalesEachEdge) {
  // The bottom edge 218 * 1.25 = 272.5 is 273, so the height is 22, not the
  // 21 that scaling 17 would give; the right edge 420 * 1.25 is 525.
  EXPECT_EQ(ScaleToDpi(Bounds{50, 201, 370, 17}, 120), (Bounds{63, 251, 462, 22}));
  EXPECT_EQ(ScaleToDpi(Bounds{50, 201, 370, 17}, 96), (Bounds{50, 201, 370, 17}));
  EXPECT_EQ(ScaleToDpi(Bounds{50, 201, 370, 17}, 192), (Bounds{100, 402, 740, 34}));
}

struct DocumentedPlace {
  WindowId window;
  const char* control;
  Bounds bounds;
};

// The sizes and places the windows are documented with, at 96 DPI.
TEST(DesignLayout, HoldsTheDocumentedPlacesAt96Dpi) {
  const DocumentedPlace documented[] = {
      {WindowId::Schritt1, "", {0, 0, 492, 354}},
      {WindowId::Schritt1, "Image1", {0, 0, 163, 354}},
      {WindowId::Schritt4, "", {0, 0, 492, 354}},
      {WindowId::Schritt4, "Image1", {435, 2, 53, 53}},
      {WindowId::Schritt4, "DirTree1", {40, 104, 409, 177}},
      {WindowId::Schritt4, "Button1", {409, 323, 75, 25}},
      {WindowId::Schritt4, "Button2", {324, 323, 75, 25}},
      {WindowId::Schritt4, "Button4", {249, 323, 75, 25}},
      {WindowId::Schritt6, "", {0, 0, 491, 354}},
      {WindowId::Schritt6, "ListBox1", {24, 153, 441, 121}},
      {WindowId::Install, "ProgressBar1", {50, 201, 370, 17}},
      {WindowId::Ready, "Image2", {176, 136, 128, 65}},
  };
  for (const DocumentedPlace& place : documented) {
    EXPECT_EQ(DesignBoundsOf(place.window, place.control), place.bounds)
        << static_cast<int>(place.window) << " " << place.control;
  }
  EXPECT_EQ(DesignBoundsOf(WindowId::Schritt4, "Edit1").width, 409);
  EXPECT_EQ(DesignBoundsOf(WindowId::Schritt5, "Edit1").width, 225);
  EXPECT_EQ(DesignBoundsOf(WindowId::Schritt5, "Edit2").width, 225);
  EXPECT_EQ(DesignBoundsOf(WindowId::Schritt6, "Edit1").width, 441);
  EXPECT_EQ(DesignBoundsOf(WindowId::Schritt7, "Label10").width, 331);
}

TEST(DesignLayout, PlacesEveryControlTheDesignTextsName) {
  for (const DesignText& text : DesignTexts()) {
    EXPECT_NO_THROW(DesignBoundsOf(text.window, text.control))
        << static_cast<int>(text.window) << " " << text.control;
  }
  for (const DesignPlace& place : DesignLayout()) {
    if (place.control.starts_with("Signature"))
      continue;
    EXPECT_TRUE(HasControl(place.window, place.control))
        << static_cast<int>(place.window) << " " << place.control;
  }
  EXPECT_THROW(DesignBoundsOf(WindowId::Schritt1, "Edit1"), std::logic_error);
}

// At every scale each control stays inside its window, and what touches at
// 96 DPI touches without overlapping: back and forward button, the program
// folder's edit field and list.
TEST(DesignLayout, StaysInsideTheWindowAtEveryScale) {
  for (int dpi : kScales) {
    for (const DesignPlace& place : DesignLayout()) {
      const Bounds client = ScaleToDpi(DesignBoundsOf(place.window, ""), dpi);
      const Bounds bounds = ScaleToDpi(place.bounds, dpi);
      SCOPED_TRACE(std::to_string(dpi) + " dpi, window " +
                   std::to_string(static_cast<int>(place.window)) + " " +
                   std::string(place.control));
      EXPECT_GE(bounds.left, 0);
      EXPECT_GE(bounds.top, 0);
      EXPECT_LE(bounds.Right(), client.width);
      EXPECT_LE(bounds.Bottom(), client.height);
    }
    for (WindowId window : {WindowId::Schritt2, WindowId::Schritt6, WindowId::Schritt7}) {
      const Bounds back = ScaleToDpi(DesignBoundsOf(window, "Button4"), dpi);
      const Bounds forward = ScaleToDpi(DesignBoundsOf(window, "Button2"), dpi);
      const Bounds cancel = ScaleToDpi(DesignBoundsOf(window, "Button1"), dpi);
      EXPECT_EQ(back.Right(), forward.left) << dpi;
      EXPECT_LT(forward.Right(), cancel.left) << dpi;
    }
    // The folder list hangs directly under its edit field.
    EXPECT_EQ(ScaleToDpi(DesignBoundsOf(WindowId::Schritt6, "Edit1"), dpi).Bottom(),
              ScaleToDpi(DesignBoundsOf(WindowId::Schritt6, "ListBox1"), dpi).top)
        << dpi;
  }
}

// A text of `length` characters of 6 pixels that wraps at any character,
// with lines 13 pixels high.
MeasureText Wrapping(int length) {
  return [length](int width) {
    const int perLine = std::max(1, width / 6);
    const int lines = (length + perLine - 1) / perLine;
    return TextSize{std::min(length, perLine) * 6, lines * 13};
  };
}
MeasureText OneLine(int width, int height) {
  return [=](int) { return TextSize{width, height}; };
}

struct FitCase {
  const char* name;
  Bounds bounds;
  bool growLeft;
  MeasureText measure;
  Bounds expected;
};

TEST(FitText, WidensWithinTheRoomBeforeItGrowsDown) {
  const Bounds room = {0, 0, 480, 300};
  const FitCase cases[] = {
      {"a text that fits keeps the bounds",
       {100, 50, 200, 16},
       false,
       OneLine(150, 13),
       {100, 50, 200, 16}},
      {"a wider control never shrinks",
       {100, 50, 200, 30},
       false,
       Wrapping(10),
       {100, 50, 200, 30}},
      {"one line too wide widens by what it lacks",
       {100, 50, 200, 16},
       false,
       OneLine(230, 13),
       {100, 50, 230, 16}},
      {"right-aligned text widens to the left",
       {100, 50, 80, 16},
       true,
       OneLine(95, 13),
       {85, 50, 95, 16}},
      // 70 characters need 3 lines of 33 at 200 pixels; two lines need 35
      // characters' worth, 210 pixels.
      {"a wrapping text widens until its lines fit",
       {100, 50, 200, 26},
       false,
       Wrapping(70),
       {100, 50, 210, 26}},
      {"a text the room cannot hold grows down",
       {100, 50, 200, 26},
       false,
       Wrapping(200),
       {100, 50, 380, 52}},
      {"growing down stops at the room's bottom",
       {100, 250, 200, 26},
       false,
       Wrapping(600),
       {100, 250, 380, 50}},
      {"a line longer than the room is as wide as the room",
       {100, 50, 200, 16},
       false,
       OneLine(500, 13),
       {100, 50, 380, 16}},
  };
  for (const FitCase& c : cases) {
    EXPECT_EQ(FitText(c.bounds, room, c.growLeft, c.measure), c.expected) << c.name;
  }
}

}  // namespace
}  // namespace core
