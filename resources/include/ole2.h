/*
 * Brevok Resource Compiler: ole2.h as a resource script sees it (RC_INVOKED). The header
 * declares OLE, which a resource compiler skips; it includes objbase.h and with it
 * windows.h.
 */
#ifndef _OLE2_H_
#define _OLE2_H_
#include <objbase.h>
#endif
