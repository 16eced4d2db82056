#pragma once
// <windows.h>, always with the same macros: the lean set of headers (a file
// that needs more includes it beside this), and no min and max macros, which
// would break std::min and std::max. Every file that talks to Windows itself
// includes this rather than <windows.h>.

#ifndef _WIN32
#error "windows_api.h belongs to Windows builds only"
#endif

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
