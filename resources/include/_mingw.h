/*
 * Brevok Resource Compiler: what the resource-compiler headers shipped beside brcc32 take
 * from mingw-w64's _mingw.h when a resource script is preprocessed (RC_INVOKED). The full
 * header describes C compilers and their varargs; a resource script needs only these, with
 * the values mingw-w64 gives them on a 64-bit target.
 */
#ifndef _INC__MINGW_H
#define _INC__MINGW_H

#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0xa00
#endif

#ifndef __MSABI_LONG
#define __MSABI_LONG(x) x ## l
#endif

#endif
