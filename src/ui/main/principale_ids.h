// Control and command identifiers of the main window.
#pragma once

namespace ui {

enum PrincipaleId : int {
  kIdMyList = 100,
  kIdNumLogo,
  kIdDefaultLogo,
  kIdLogoType,
  kIdImag0 = 110,
  kIdDes0 = 120,
  kIdLogoImage0 = 130,
  kIdItmOpenAct0 = 200,
  kIdTimer1 = 300,
};

}  // namespace ui
