/*
 * Brevok Resource Compiler: objbase.h as a resource script sees it (RC_INVOKED). The
 * header declares COM, which a resource compiler skips; it reaches windows.h through the
 * RPC headers, so a script that includes objbase.h alone still has the window styles and
 * control identifiers.
 */
#ifndef _OBJBASE_H_
#define _OBJBASE_H_
#include <windows.h>
#endif
