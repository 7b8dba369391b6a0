#include "wizard/Navigation.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using core::WindowId;

// Walks forward from page 1 to the installation form and back again.
std::vector<WindowId> WalkForward(const core::SetupState& state) {
  std::vector<WindowId> pages = {WindowId::Schritt1};
  while (pages.back() != WindowId::Install) {
    pages.push_back(wizard::ForwardTarget(pages.back(), state));
  }
  return pages;
}

std::vector<WindowId> WalkBack(const core::SetupState& state) {
  std::vector<WindowId> pages = {WindowId::Schritt7};
  while (pages.back() != WindowId::Schritt1)
    pages.push_back(wizard::BackTarget(pages.back(), state));
  return pages;
}

TEST(Navigation, PagesFollowTheirFlagsForwardAndBack) {
  using W = WindowId;
  struct Case {
    bool license;
    bool information;
    std::vector<W> forward;
    std::vector<W> back;
  };
  for (const Case& c : std::vector<Case>{
           {false,
            false,
            {W::Schritt1, W::Schritt4, W::Schritt6, W::Schritt5, W::Schritt7, W::Install},
            {W::Schritt7, W::Schritt5, W::Schritt6, W::Schritt4, W::Schritt1}},
           {false,
            true,
            {W::Schritt1, W::Schritt3, W::Schritt4, W::Schritt6, W::Schritt5, W::Schritt7,
             W::Install},
            {W::Schritt7, W::Schritt5, W::Schritt6, W::Schritt4, W::Schritt3, W::Schritt1}},
           {true,
            false,
            {W::Schritt1, W::Schritt2, W::Schritt4, W::Schritt6, W::Schritt5, W::Schritt7,
             W::Install},
            {W::Schritt7, W::Schritt5, W::Schritt6, W::Schritt4, W::Schritt2, W::Schritt1}},
           {true,
            true,
            {W::Schritt1, W::Schritt2, W::Schritt3, W::Schritt4, W::Schritt6, W::Schritt5,
             W::Schritt7, W::Install},
            {W::Schritt7, W::Schritt5, W::Schritt6, W::Schritt4, W::Schritt3, W::Schritt2,
             W::Schritt1}},
       }) {
    SCOPED_TRACE(testing::Message() << "licence " << c.license << " information " << c.information);
    core::SetupState state;
    state.LicensePage = c.license;
    state.InformationPage = c.information;
    EXPECT_EQ(WalkForward(state), c.forward);
    EXPECT_EQ(WalkBack(state), c.back);
  }
}

TEST(Navigation, PagesWithoutTheButtonHaveNoTarget) {
  core::SetupState state;
  EXPECT_THROW(wizard::BackTarget(WindowId::Schritt1, state), std::logic_error);
  EXPECT_THROW(wizard::ForwardTarget(WindowId::Ready, state), std::logic_error);
}

}  // namespace
