/*
 * Brevok Resource Compiler: shlobj.h as a resource script sees it (RC_INVOKED). The header
 * declares the shell's interfaces, which a resource compiler skips; it includes ole2.h
 * and with it windows.h.
 */
#ifndef _SHLOBJ_H_
#define _SHLOBJ_H_
#include <ole2.h>
#endif
