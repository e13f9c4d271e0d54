/*
 * Brevok Resource Compiler: richedit.h as a resource script sees it (RC_INVOKED). The
 * header declares the rich edit control's messages and structures; a dialog takes from it
 * the control's window class names and the styles that only a rich edit control has.
 */
#ifndef _RICHEDIT_
#define _RICHEDIT_

#ifndef _RICHEDIT_VER
#define _RICHEDIT_VER 0x0800
#endif

#define RICHEDIT_CLASS10A "RICHEDIT"
#define RICHEDIT_CLASSA "RichEdit20A"
#define RICHEDIT_CLASSW L"RichEdit20W"
#define MSFTEDIT_CLASS L"RICHEDIT50W"
#if _RICHEDIT_VER < 0x0200
#define RICHEDIT_CLASS RICHEDIT_CLASS10A
#elif defined(UNICODE)
#define RICHEDIT_CLASS RICHEDIT_CLASSW
#else
#define RICHEDIT_CLASS RICHEDIT_CLASSA
#endif

/* Window styles (the edit control's ES_ styles apply too). */
#define ES_NOOLEDRAGDROP 0x00000008
#define ES_DISABLENOSCROLL 0x00002000
#define ES_SUNKEN 0x00004000
#define ES_SAVESEL 0x00008000
#define ES_SELFIME 0x00040000
#define ES_NOIME 0x00080000
#define ES_VERTICAL 0x00400000
#define ES_SELECTIONBAR 0x01000000
#define ES_EX_NOCALLOLEINIT 0x00000000

#endif
