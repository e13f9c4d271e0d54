/*
 * Brevok Resource Compiler: winbase.h as a resource script sees it (RC_INVOKED). The
 * header declares the base API, which a resource compiler skips; of what it includes a
 * script can use winnt.h's language numbers and TEXT.
 */
#ifndef _WINBASE_
#define _WINBASE_
#include <winnt.h>
#endif
