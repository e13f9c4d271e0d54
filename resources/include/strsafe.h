/*
 * Brevok Resource Compiler: strsafe.h as a resource script sees it (RC_INVOKED). The
 * header declares string functions only; a script includes it through a header it shares
 * with its program and takes nothing from it.
 */
#ifndef _STRSAFE_H_INCLUDED_
#define _STRSAFE_H_INCLUDED_
#endif
