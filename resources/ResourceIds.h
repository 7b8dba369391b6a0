#pragma once

// Read by the resource compiler as well as by C++: plain defines only.

#define IDI_APP 1

#define IDR_HEADER_JPG 101
#define IDR_SIDE_JPG 102
#define IDR_LOGO_JPG 103
