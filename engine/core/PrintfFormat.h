#pragma once
// printf-style format checking for the engine's formatting functions. MinGW's
// compilers take plain "printf" to mean the Microsoft runtime's dialect, which
// lacks %zu and friends; the engine formats in the C99 dialect everywhere (the
// Windows build uses MinGW's own stdio, __USE_MINGW_ANSI_STDIO).
#if defined(__MINGW32__)
#define VELMORA_PRINTF_FORMAT(formatIndex, firstArgument) __attribute__((format(gnu_printf, formatIndex, firstArgument)))
#else
#define VELMORA_PRINTF_FORMAT(formatIndex, firstArgument) __attribute__((format(printf, formatIndex, firstArgument)))
#endif
