#include "wizard/Navigation.h"

#include <stdexcept>

namespace wizard {

using core::WindowId;

WindowId ForwardTarget(WindowId page, const core::SetupState& state) {
  switch (page) {
    case WindowId::Schritt1:
      if (state.LicensePage)
        return WindowId::Schritt2;
      return state.InformationPage ? WindowId::Schritt3 : WindowId::Schritt4;
    case WindowId::Schritt2:
      return state.InformationPage ? WindowId::Schritt3 : WindowId::Schritt4;
    case WindowId::Schritt3:
      return WindowId::Schritt4;
    case WindowId::Schritt4:
      return WindowId::Schritt6;
    case WindowId::Schritt6:
      return WindowId::Schritt5;
    case WindowId::Schritt5:
      return WindowId::Schritt7;
    case WindowId::Schritt7:
      return WindowId::Install;
    default:
      throw std::logic_error("Fenster ohne Weiter-Schaltfläche");
  }
}

WindowId BackTarget(WindowId page, const core::SetupState& state) {
  switch (page) {
    case WindowId::Schritt2:
      return WindowId::Schritt1;
    case WindowId::Schritt3:
      return state.LicensePage ? WindowId::Schritt2 : WindowId::Schritt1;
    case WindowId::Schritt4:
      if (state.InformationPage)
        return WindowId::Schritt3;
      return state.LicensePage ? WindowId::Schritt2 : WindowId::Schritt1;
    case WindowId::Schritt6:
      return WindowId::Schritt4;
    case WindowId::Schritt5:
      return WindowId::Schritt6;
    case WindowId::Schritt7:
      return WindowId::Schritt5;
    default:
      throw std::logic_error("Fenster ohne Zurück-Schaltfläche");
  }
}

}  // namespace wizard
