/*
 * Brevok Resource Compiler: the version-resource constants (VS_*, VOS_*, VFT_*, VFT2_*)
 * that the Windows SDK keeps in verrsrc.h; mingw-w64 keeps them in winver.h.
 */
#ifndef _VERRSRC_H_
#define _VERRSRC_H_
#include <winver.h>
#endif
