// LZ expansion library (LZ32): reads files compressed in the SZDD format as their expanded content, and
// copies them expanded.
#pragma once

#include "platform/sim/win/kernel.h"
#include "platform/sim/win/types.h"

#define LZERROR_BADINHANDLE (-1)
#define LZERROR_BADOUTHANDLE (-2)
#define LZERROR_READ (-3)
#define LZERROR_WRITE (-4)
#define LZERROR_GLOBALLOC (-5)
#define LZERROR_GLOBLOCK (-6)
#define LZERROR_BADVALUE (-7)
#define LZERROR_UNKNOWNALG (-8)

#define GetExpandedName GetExpandedNameA
#define LZOpenFile LZOpenFileA

INT WINAPI LZStart(void);
void WINAPI LZDone(void);
LONG WINAPI CopyLZFile(INT hfSource, INT hfDest);
LONG WINAPI LZCopy(INT hfSource, INT hfDest);
INT WINAPI LZInit(INT hfSource);
INT WINAPI GetExpandedNameA(LPSTR lpszSource, LPSTR lpszBuffer);
INT WINAPI LZOpenFileA(LPSTR lpFileName, LPOFSTRUCT lpReOpenBuf, WORD wStyle);
LONG WINAPI LZSeek(INT hFile, LONG lOffset, INT iOrigin);
INT WINAPI LZRead(INT hFile, LPSTR lpBuffer, INT cbRead);
void WINAPI LZClose(INT hFile);
