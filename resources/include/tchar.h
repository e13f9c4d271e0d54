/*
 * Brevok Resource Compiler: tchar.h as a resource script sees it (RC_INVOKED). The full
 * header maps the C runtime's functions to their narrow or wide forms; a script takes from
 * it only the macros that make a string literal wide when _UNICODE is defined.
 */
#ifndef _INC_TCHAR
#define _INC_TCHAR

#ifdef _UNICODE
#define __T(x) L##x
#else
#define __T(x) x
#endif
#define _T(x) __T(x)
#define _TEXT(x) __T(x)

#endif
