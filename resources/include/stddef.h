/*
 * Brevok Resource Compiler: stddef.h as a resource script sees it (RC_INVOKED). The C
 * header gives types, NULL and offsetof, none of which a resource statement can use; a
 * script that includes it (often through a header it shares with its program) gets nothing.
 */
#ifndef _INC_STDDEF
#define _INC_STDDEF
#endif
