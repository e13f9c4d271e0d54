/*
 * Brevok Resource Compiler: winsock2.h as a resource script sees it (RC_INVOKED). The
 * header declares the socket API, which a resource compiler skips; it includes windows.h,
 * so a script that includes winsock2.h alone still has the window styles and control
 * identifiers.
 */
#ifndef _WINSOCK2API_
#define _WINSOCK2API_
#include <windows.h>
#endif
