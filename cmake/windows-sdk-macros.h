// Forced into every mingw-w64 compile: what the Windows SDK's headers define and mingw-w64's do not,
// so that a name MSVC would reject fails here too.
#pragma once

// The SDK's rpcndr.h defines this unconditionally; mingw-w64's only for the resource compiler.
#ifndef small
#define small char
#endif
// Both define it; kept here so that a mingw-w64 release that stops doing so still catches it.
#ifndef hyper
#define hyper __int64
#endif
