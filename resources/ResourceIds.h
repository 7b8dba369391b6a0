#pragma once

// Read by the resource compiler as well as by C++: plain defines only.

#define IDI_APP 1

#define IDR_HEADER_JPG 101
#define IDR_SIDE_JPG 102
#define IDR_LOGO_JPG 103
// The same pictures at twice the size, for display scales above 100 %.
#define IDR_HEADER2X_JPG 104
#define IDR_SIDE2X_JPG 105
#define IDR_LOGO2X_JPG 106
