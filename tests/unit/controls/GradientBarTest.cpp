#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/GradientBar.h"
#include "controls/PixelCanvas.h"

namespace controls {
namespace {

using Dir = TProgressDirection;

constexpr Color kFill = Rgb(200, 0, 0);
constexpr Color kBack = Rgb(0, 0, 200);
constexpr Color kBorder1 = Rgb(10, 10, 10);
constexpr Color kBorder2 = Rgb(250, 250, 250);

// The parent window of a bar: counts invalidations and paints at once into a
// screen of the bar's size.
class FakeHost : public ControlHost {
 public:
  explicit FakeHost(TGradientBar& bar) : bar_(bar) { bar_.SetHost(this); }
  void Invalidate() override { ++invalidations; }
  void PaintNow() override {
    ++paints;
    screen.Resize(bar_.Width(), bar_.Height());
    bar_.Paint(screen);
  }
  /// A repaint as the message queue would start it.
  void Repaint() { PaintNow(); }

  PixelBitmap screen;
  int invalidations = 0;
  int paints = 0;

 private:
  TGradientBar& bar_;
};

class GradientBarTest : public ::testing::Test {
 protected:
  // A bar with one fill colour, so that filled and unfilled pixels differ.
  void Solid(int width, int height) {
    bar.SetBounds(0, 0, width, height);
    bar.SetBarColorStyle(TBarColorStyle::cs1Color);
    bar.SetBarColor1(kFill);
    bar.SetBackgroundColor(kBack);
    bar.SetBorderColor1(kBorder1);
    bar.SetBorderColor2(kBorder2);
    bar.SetShowPosText(false);
  }
  PixelBitmap Painted() {
    PixelBitmap target;
    target.Resize(bar.Width(), bar.Height());
    bar.Paint(target);
    return target;
  }

  PixelGraphics graphics;
  TGradientBar bar{graphics};
  FakeHost host{bar};
};

TEST_F(GradientBarTest, NewBarHasTheDocumentedDefaults) {
  EXPECT_EQ(bar.BackgroundColor(), clBtnFace);
  EXPECT_TRUE(bar.BarBitmap().Empty());
  EXPECT_EQ(bar.BarColor1(), Rgb(0, 128, 0));
  EXPECT_EQ(bar.BarColor2(), Rgb(255, 255, 0));
  EXPECT_EQ(bar.BarColor3(), Rgb(255, 0, 0));
  EXPECT_EQ(bar.BarColorStyle(), TBarColorStyle::cs3Colors);
  EXPECT_EQ(bar.BorderColor1(), clBtnShadow);
  EXPECT_EQ(bar.BorderColor2(), clBtnHighlight);
  EXPECT_EQ(bar.Direction(), Dir::pdLeftToRight);
  EXPECT_EQ(bar.Max(), 100);
  EXPECT_EQ(bar.Min(), 0);
  EXPECT_FALSE(bar.Percentage());
  EXPECT_EQ(bar.Position(), 0);
  EXPECT_EQ(bar.PosTextPrefix(), "");
  EXPECT_EQ(bar.PosTextSuffix(), "");
  EXPECT_FALSE(bar.ShowBlocks());
  EXPECT_TRUE(bar.ShowBorder());
  EXPECT_TRUE(bar.ShowPosText());
  EXPECT_EQ(bar.Width(), 200);
  EXPECT_EQ(bar.Height(), 20);
}

struct FillCase {
  const char* name;
  int width, height;
  Dir direction;
  bool border;
  int min, max, position;
  // The rectangle painted in the background colour, half-open.
  int left, top, right, bottom;
};

// Every pixel inside the border is background inside the expected rectangle
// and fill outside it.
TEST_F(GradientBarTest, UnfilledPartIsTheBackgroundRectangle) {
  const FillCase cases[] = {
      {"half of 30 at 370 x 17", 370, 17, Dir::pdLeftToRight, true, 0, 30, 15, 185, 1, 369, 16},
      {"at Min", 370, 17, Dir::pdLeftToRight, true, 0, 30, 0, 1, 1, 369, 16},
      {"at Max", 370, 17, Dir::pdLeftToRight, true, 0, 30, 30, 0, 0, 0, 0},
      {"right to left", 370, 17, Dir::pdRightToLeft, true, 0, 30, 15, 1, 1, 185, 16},
      {"top to bottom", 20, 102, Dir::pdTopToBottom, true, 0, 4, 1, 1, 26, 19, 101},
      {"bottom to top", 20, 102, Dir::pdBottomToTop, true, 0, 4, 1, 1, 1, 19, 76},
      {"without border", 370, 17, Dir::pdLeftToRight, false, 0, 30, 15, 185, 0, 370, 17},
      {"a half rounds down to even", 12, 5, Dir::pdLeftToRight, true, 0, 4, 1, 3, 1, 11, 4},
      {"a half rounds up to even", 12, 5, Dir::pdLeftToRight, true, 0, 4, 3, 9, 1, 11, 4},
      {"Min above 0", 12, 5, Dir::pdLeftToRight, true, 10, 20, 15, 6, 1, 11, 4},
  };
  for (const FillCase& c : cases) {
    SCOPED_TRACE(c.name);
    Solid(c.width, c.height);
    bar.SetDirection(c.direction);
    bar.SetShowBorder(c.border);
    bar.SetMin(c.min);
    bar.SetMax(c.max);
    bar.SetPosition(c.position);
    const PixelBitmap picture = Painted();
    const int inset = c.border ? 1 : 0;
    int wrong = 0;
    for (int y = inset; y < c.height - inset; ++y) {
      for (int x = inset; x < c.width - inset; ++x) {
        const bool back = x >= c.left && x < c.right && y >= c.top && y < c.bottom;
        if (picture.Pixel(x, y) != (back ? kBack : kFill) && wrong++ < 3)
          ADD_FAILURE() << "pixel " << x << "," << y;
      }
    }
    EXPECT_EQ(wrong, 0);
  }
}

TEST_F(GradientBarTest, BorderTakesTopAndLeftInTheFirstColourBottomAndRightInTheSecond) {
  Solid(6, 4);
  const PixelBitmap picture = Painted();
  for (int x = 0; x < 5; ++x) {
    EXPECT_EQ(picture.Pixel(x, 0), kBorder1) << x;
    EXPECT_EQ(picture.Pixel(x, 3), kBorder2) << x;
  }
  for (int y = 0; y < 3; ++y) {
    EXPECT_EQ(picture.Pixel(0, y), kBorder1) << y;
    EXPECT_EQ(picture.Pixel(5, y), kBorder2) << y;
  }
  EXPECT_EQ(picture.Pixel(5, 0), kBorder2);
  EXPECT_EQ(picture.Pixel(0, 3), kBorder2);
  EXPECT_EQ(picture.Pixel(5, 3), kBorder2);
}

TEST_F(GradientBarTest, MaxLoweredBelowPositionPaintsAFullBar) {
  Solid(370, 17);
  bar.SetMax(30);
  bar.SetPosition(20);
  bar.SetMax(10);
  EXPECT_EQ(bar.Position(), 20);
  const PixelBitmap picture = Painted();
  for (int x = 1; x < 369; ++x)
    ASSERT_EQ(picture.Pixel(x, 8), kFill) << x;
}

// Columns of the bar's middle row: 'f' fill, 'b' background.
std::string Row(const PixelBitmap& picture, int y, int from, int to) {
  std::string row;
  for (int x = from; x < to; ++x)
    row += picture.Pixel(x, y) == kFill ? 'f' : (picture.Pixel(x, y) == kBack ? 'b' : '?');
  return row;
}

TEST_F(GradientBarTest, BlocksRoundTheFilledLengthToWholeBlocks) {
  // H = 20 gives blocks of 18; the inner length is 100.
  Solid(102, 20);
  bar.SetShowBlocks(true);
  bar.SetPosition(27);  // raw 27 is 1.5 blocks: two blocks, 36
  PixelBitmap picture = Painted();
  EXPECT_EQ(Row(picture, 10, 1, 40),
            "b" + std::string(16, 'f') + "bb" + std::string(16, 'f') + "bbbb");
  // The outline of the inner area is drawn in the background colour too.
  EXPECT_EQ(picture.Pixel(10, 1), kBack);
  EXPECT_EQ(picture.Pixel(10, 18), kBack);

  bar.SetPosition(26);  // raw 26 is 1.44 blocks: one block, 18
  picture = Painted();
  EXPECT_EQ(Row(picture, 10, 1, 22), "b" + std::string(16, 'f') + "bbbb");
}

TEST_F(GradientBarTest, VerticalBlocksUseTheWidthAsBlockSize) {
  Solid(6, 22);  // blocks of 4, inner length 20
  bar.SetDirection(Dir::pdBottomToTop);
  bar.SetShowBlocks(true);
  bar.SetPosition(50);  // raw 10 is 2.5 blocks: three blocks, 12
  const PixelBitmap picture = Painted();
  std::string column;
  for (int y = 1; y < 21; ++y)
    column += picture.Pixel(3, y) == kFill ? 'f' : 'b';
  EXPECT_EQ(column,
            "bbbbbbbb"
            "bffbbffbbffb");
}

// Blocks need a cross size of more than two pixels: with less the bar looks
// as it does without blocks, and painting ends.
TEST_F(GradientBarTest, BlocksWithoutRoomAreLeftOut) {
  struct Case {
    int width, height;
    Dir direction;
  };
  for (const Case c : {Case{50, 2, Dir::pdLeftToRight}, Case{50, 1, Dir::pdRightToLeft},
                       Case{2, 50, Dir::pdTopToBottom}, Case{1, 50, Dir::pdBottomToTop},
                       Case{50, 0, Dir::pdLeftToRight}}) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
    Solid(c.width, c.height);
    bar.SetDirection(c.direction);
    bar.SetShowBorder(false);
    bar.SetPosition(40);
    bar.SetShowBlocks(false);
    const PixelBitmap without = Painted();
    bar.SetShowBlocks(true);
    const PixelBitmap with = Painted();
    for (int y = 0; y < c.height; ++y) {
      for (int x = 0; x < c.width; ++x)
        ASSERT_EQ(with.Pixel(x, y), without.Pixel(x, y)) << x << "," << y;
    }
  }
}

TEST_F(GradientBarTest, PositionTextIsCentredWithPrefixAndSuffix) {
  struct Case {
    bool percentage;
    int min, max, position;
    const char* text;
  };
  const Case cases[] = {
      {false, 10, 50, 20, "Stand 20 %"},
      {true, 10, 50, 20, "Stand 40 %"},  // Min does not enter the percentage
      {true, 0, 8, 1, "Stand 12 %"},     // 12.5 rounds to even
      {true, 0, 8, 3, "Stand 38 %"},     // 37.5 rounds to even
      {true, -10, 0, -5, "Stand 0 %"},   // no percentage of a Max of 0
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    bar.SetBounds(0, 0, 101, 21);
    bar.SetPosTextPrefix("Stand ");
    bar.SetPosTextSuffix(" %");
    bar.SetPercentage(c.percentage);
    bar.SetMin(c.min);
    bar.SetMax(c.max);
    bar.SetPosition(c.position);
    const PixelBitmap picture = Painted();
    ASSERT_EQ(picture.Texts().size(), 1u);
    const PixelBitmap::TextRecord& text = picture.Texts()[0];
    EXPECT_EQ(text.text, c.text);
    EXPECT_TRUE(text.clearBrush);
    const Extent extent = PixelBitmap().TextExtent(c.text);
    EXPECT_EQ(text.x, 50 - extent.width / 2);
    EXPECT_EQ(text.y, 10 - extent.height / 2);
  }
}

TEST_F(GradientBarTest, PercentageWithMin10ShowsFortyOverAQuarterFullBar) {
  Solid(42, 10);
  bar.SetShowPosText(true);
  bar.SetPercentage(true);
  bar.SetMin(10);
  bar.SetMax(50);
  bar.SetPosition(20);
  const PixelBitmap picture = Painted();
  EXPECT_EQ(Row(picture, 5, 1, 41), std::string(10, 'f') + std::string(30, 'b'));
  EXPECT_EQ(picture.Texts().at(0).text, "40");
}

TEST_F(GradientBarTest, TextIsMeasuredInTheFontLastGiven) {
  bar.SetBounds(0, 0, 100, 30);
  const int before = host.invalidations;
  bar.SetFont({.name = "Arial", .points = 12, .bold = true});
  EXPECT_EQ(host.invalidations, before + 1);
  const PixelBitmap picture = Painted();
  ASSERT_EQ(picture.Texts().size(), 1u);
  EXPECT_EQ(picture.Texts()[0].font.points, 12);
  EXPECT_EQ(picture.Texts()[0].x, 50 - 11 / 2);  // one character, 11 wide in bold 12
}

// At 192 DPI the bar is designed at 96 DPI and scaled by two: its bounds
// are given doubled, and every line of its border, inner outline and block
// separators is two pixels thick. So the picture is the one at 96 DPI with
// every pixel doubled, in every direction, with blocks and without (the
// positions give whole filled lengths at both scales).
TEST_F(GradientBarTest, PaintAtTwiceTheDpiIsThePaintAt96WithEveryPixelDoubled) {
  struct Case {
    const char* name;
    Dir direction;
    bool blocks;
    int position;
  };
  const Case cases[] = {
      {"left to right", Dir::pdLeftToRight, false, 25},
      {"right to left", Dir::pdRightToLeft, false, 50},
      {"top to bottom", Dir::pdTopToBottom, false, 50},
      {"bottom to top", Dir::pdBottomToTop, false, 25},
      {"left to right in blocks", Dir::pdLeftToRight, true, 40},
      {"right to left in blocks", Dir::pdRightToLeft, true, 75},
      {"bottom to top in blocks", Dir::pdBottomToTop, true, 60},
      {"full", Dir::pdLeftToRight, true, 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const bool horizontal = c.direction == Dir::pdLeftToRight || c.direction == Dir::pdRightToLeft;
    // Inner lengths of 100 pixels at 96 DPI.
    const int width = horizontal ? 102 : 20;
    const int height = horizontal ? 20 : 102;
    const auto paint = [&](int dpi) {
      Solid(width * dpi / 96, height * dpi / 96);
      bar.SetDpi(dpi);
      bar.SetDirection(c.direction);
      bar.SetShowBlocks(c.blocks);
      bar.SetPosition(c.position);
      return Painted();
    };
    const PixelBitmap normal = paint(96);
    const PixelBitmap doubled = paint(192);
    ASSERT_EQ(doubled.Width(), 2 * width);
    ASSERT_EQ(doubled.Height(), 2 * height);
    int differing = 0;
    for (int y = 0; y < doubled.Height(); ++y) {
      for (int x = 0; x < doubled.Width(); ++x) {
        if (doubled.Pixel(x, y) != normal.Pixel(x / 2, y / 2))
          ++differing;
      }
    }
    EXPECT_EQ(differing, 0);
    bar.SetPosition(0);
  }
}

// At 150 % one pixel of the design is two (1.5 rounds up), as Windows
// scales a one-pixel line.
TEST_F(GradientBarTest, BorderAt144DpiIsTwoPixelsThick) {
  Solid(300, 30);
  bar.SetDpi(144);
  const PixelBitmap picture = Painted();
  for (int y : {0, 1})
    EXPECT_EQ(picture.Pixel(150, y), kBorder1) << y;
  for (int y : {28, 29})
    EXPECT_EQ(picture.Pixel(150, y), kBorder2) << y;
  EXPECT_EQ(picture.Pixel(150, 2), kBack);
  EXPECT_EQ(picture.Pixel(1, 15), kBorder1);
  EXPECT_EQ(picture.Pixel(2, 15), kBack);
}

// The position text keeps its points; at 192 DPI they are twice the
// pixels, so the text is measured and centred at that size.
TEST_F(GradientBarTest, TextFollowsTheDpi) {
  bar.SetBounds(0, 0, 200, 40);
  bar.SetDpi(192);
  bar.SetPosition(7);
  const PixelBitmap picture = Painted();
  ASSERT_EQ(picture.Texts().size(), 1u);
  const PixelBitmap::TextRecord& text = picture.Texts()[0];
  EXPECT_EQ(text.font.points, 8);
  EXPECT_EQ(text.font.dpi, 192);
  // One character, (8 - 2) * 2 wide and (8 + 5) * 2 high.
  EXPECT_EQ(text.x, 100 - 12 / 2);
  EXPECT_EQ(text.y, 20 - 26 / 2);
  bar.SetFont({.name = "Arial", .points = 10});
  EXPECT_EQ(bar.Font().dpi, 192);
}

TEST(GradientColorTest, InterpolatesEachChannelWithRoundingMulDiv) {
  struct Case {
    Color start, end;
    int index, count;
    Color expected;
  };
  const Case cases[] = {
      {Rgb(0, 0, 0), Rgb(255, 255, 255), 1, 3, Rgb(0, 0, 0)},
      {Rgb(0, 0, 0), Rgb(255, 255, 255), 2, 3, Rgb(128, 128, 128)},  // 127.5 up
      {Rgb(255, 255, 255), Rgb(0, 0, 0), 2, 3, Rgb(127, 127, 127)},  // -127.5 away from 0
      {Rgb(0, 0, 0), Rgb(255, 255, 255), 3, 3, Rgb(255, 255, 255)},
      {Rgb(51, 102, 153), Rgb(48, 144, 207), 2, 4, Rgb(50, 116, 171)},  // -1, 14, 18
      {Rgb(9, 8, 7), Rgb(1, 2, 3), 1, 1, Rgb(9, 8, 7)},  // a run of one line: its start
  };
  for (const Case& c : cases)
    EXPECT_EQ(GradientColor(c.start, c.end, c.index, c.count), c.expected) << c.index;
}

TEST(GradientColorTest, IndexOutsideTheRunIsARangeError) {
  for (int index : {0, 5, -1}) {
    try {
      GradientColor(0, 0, index, 4);
      ADD_FAILURE() << index;
    } catch (const std::out_of_range& error) {
      EXPECT_STREQ(error.what(), "Colour index out of range 1 to 4");
    }
  }
}

class GradientFillTest : public GradientBarTest {
 protected:
  static constexpr Color kC1 = Rgb(0, 0, 0);
  static constexpr Color kC2 = Rgb(100, 150, 200);
  static constexpr Color kC3 = Rgb(255, 255, 255);

  // A full bar without border and text shows the fill cache unchanged.
  PixelBitmap Full(int width, int height, Dir direction, TBarColorStyle style) {
    bar.SetBounds(0, 0, width, height);
    bar.SetShowBorder(false);
    bar.SetShowPosText(false);
    bar.SetBarColor1(kC1);
    bar.SetBarColor2(kC2);
    bar.SetBarColor3(kC3);
    bar.SetBarColorStyle(style);
    bar.SetDirection(direction);
    bar.SetPosition(100);
    return Painted();
  }
};

TEST_F(GradientFillTest, ThreeColoursMeetInTheMiddleColour) {
  const PixelBitmap picture = Full(101, 4, Dir::pdLeftToRight, TBarColorStyle::cs3Colors);
  EXPECT_EQ(picture.Pixel(0, 0), kC1);
  EXPECT_EQ(picture.Pixel(49, 2), kC2);
  EXPECT_EQ(picture.Pixel(50, 2), kC2);
  EXPECT_EQ(picture.Pixel(25, 3), GradientColor(kC1, kC2, 26, 50));
  EXPECT_EQ(picture.Pixel(75, 3), GradientColor(kC2, kC3, 26, 51));
  EXPECT_EQ(picture.Pixel(100, 3), kC3);
}

TEST_F(GradientFillTest, BarColor1SitsAtTheEdgeTheBarGrowsFrom) {
  struct Case {
    Dir direction;
    TBarColorStyle style;
    Point first, last;  // pixels at the start and at the far end of the cache
    Color atFirst, atLast;
  };
  const Case cases[] = {
      {Dir::pdLeftToRight, TBarColorStyle::cs2Colors, {0, 1}, {20, 1}, kC1, kC2},
      {Dir::pdRightToLeft, TBarColorStyle::cs2Colors, {0, 1}, {20, 1}, kC2, kC1},
      {Dir::pdRightToLeft, TBarColorStyle::cs3Colors, {0, 1}, {20, 1}, kC3, kC1},
      {Dir::pdTopToBottom, TBarColorStyle::cs2Colors, {1, 0}, {1, 20}, kC1, kC2},
      {Dir::pdTopToBottom, TBarColorStyle::cs3Colors, {1, 0}, {1, 20}, kC1, kC3},
      {Dir::pdBottomToTop, TBarColorStyle::cs3Colors, {1, 0}, {1, 20}, kC3, kC1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.direction));
    const PixelBitmap picture = Full(21, 21, c.direction, c.style);
    EXPECT_EQ(picture.Pixel(c.first.x, c.first.y), c.atFirst);
    EXPECT_EQ(picture.Pixel(c.last.x, c.last.y), c.atLast);
  }
}

TEST_F(GradientFillTest, RunsOfOneLineTakeTheirStartColour) {
  PixelBitmap picture = Full(3, 2, Dir::pdLeftToRight, TBarColorStyle::cs3Colors);
  EXPECT_EQ(picture.Pixel(0, 0), kC1);
  EXPECT_EQ(picture.Pixel(1, 0), kC2);
  EXPECT_EQ(picture.Pixel(2, 0), kC3);
  picture = Full(1, 2, Dir::pdLeftToRight, TBarColorStyle::cs2Colors);
  EXPECT_EQ(picture.Pixel(0, 0), kC1);
}

TEST_F(GradientFillTest, BitmapIsTiledAndWinsOverEveryColourStyle) {
  PixelBitmap tile(3, 2, 0);
  const Color colours[2][3] = {{Rgb(1, 0, 0), Rgb(2, 0, 0), Rgb(3, 0, 0)},
                               {Rgb(4, 0, 0), Rgb(5, 0, 0), Rgb(6, 0, 0)}};
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x)
      tile.SetPixel(x, y, colours[y][x]);
  }
  bar.SetBarBitmap(tile);
  tile.SetPixel(0, 0, Rgb(9, 9, 9));  // the bar keeps its own copy
  for (TBarColorStyle style :
       {TBarColorStyle::cs1Color, TBarColorStyle::cs2Colors, TBarColorStyle::cs3Colors}) {
    const PixelBitmap picture = Full(10, 5, Dir::pdRightToLeft, style);
    for (int y = 0; y < 5; ++y) {
      for (int x = 0; x < 10; ++x)
        ASSERT_EQ(picture.Pixel(x, y), colours[y % 2][x % 3]) << x << "," << y;
    }
  }
}

TEST_F(GradientBarTest, PositionPaintsAtOnceOnlyForANewValueWithinRange) {
  bar.SetMin(10);
  bar.SetMax(20);
  bar.SetPosition(15);
  const int paints = host.paints;
  const int invalidations = host.invalidations;
  for (int ignored : {15, 21, 9})
    bar.SetPosition(ignored);
  EXPECT_EQ(bar.Position(), 15);
  EXPECT_EQ(host.paints, paints);
  bar.SetPosition(20);
  EXPECT_EQ(host.paints, paints + 1);
  EXPECT_EQ(host.invalidations, invalidations);

  // Every other setter invalidates, also with the value it has.
  bar.SetMax(20);
  bar.SetShowBorder(true);
  EXPECT_EQ(host.invalidations, invalidations + 2);
  EXPECT_EQ(host.paints, paints + 1);
}

TEST_F(GradientFillTest, PositionChangeReusesTheFillCacheUntilTheNextFullPaint) {
  bar.SetBounds(0, 0, 10, 3);
  bar.SetShowBorder(false);
  bar.SetShowPosText(false);
  bar.SetBarColorStyle(TBarColorStyle::cs2Colors);
  bar.SetBarColor1(kC1);
  bar.SetBarColor2(kC1);
  bar.SetPosition(50);
  host.Repaint();
  bar.SetBarColor1(kC3);
  bar.SetBarColor2(kC3);
  bar.SetPosition(100);
  EXPECT_EQ(host.screen.Pixel(9, 1), kC1);  // the cached gradient
  host.Repaint();
  EXPECT_EQ(host.screen.Pixel(9, 1), kC3);
}

TEST_F(GradientFillTest, FirstPositionPaintBuildsTheCacheItHasNot) {
  bar.SetBounds(0, 0, 10, 3);
  bar.SetShowBorder(false);
  bar.SetShowPosText(false);
  bar.SetBarColor1(kC2);
  bar.SetBarColorStyle(TBarColorStyle::cs2Colors);
  bar.SetPosition(100);
  EXPECT_EQ(host.screen.Pixel(0, 1), kC2);
  bar.SetBounds(0, 0, 20, 3);
  bar.SetPosition(99);
  EXPECT_EQ(host.screen.Pixel(0, 1), kC2);
}

}  // namespace
}  // namespace controls
