/*
 * A small plug-in for the keyword "#NOTE" that keeps every promise of the ABI
 * but the one its FAULT_* macro names, which it breaks as plug-ins are found
 * to break it. Each build must fail that check of directive-host validate
 * and pass all the others.
 *   #NOTE some text   --parse-->   note=some text
 * It is C, as C++ would link in a runtime of its own (with its exception
 * pool) that some platforms keep with each load: a leak of its own.
 * The SHAPE_* macros build modules that are no fault of one check: a slow
 * but correct one, and ones that hang or abort on some input, as the
 * validator meets them while it makes its inputs.
 */
#ifndef _WIN32
#define _POSIX_C_SOURCE 200809L
#endif
#if defined(SHAPE_SLOW) || defined(SHAPE_HANG)
#ifdef _WIN32
#include <windows.h>
static void Pause(unsigned milliseconds) { Sleep(milliseconds); }
#else
#include <time.h>
static void Pause(unsigned milliseconds) {
  struct timespec wait = {0, (long)milliseconds * 1000000L};
  nanosleep(&wait, NULL);
}
#endif
#endif

#ifdef FAULT_THREADS
/* Lets another thread run between building a result and copying it out, so
 * that the shared scratch buffer is overwritten on most concurrent calls,
 * however the threads happen to be scheduled. */
#ifdef _WIN32
#include <windows.h>
static void LetOthersRun(void) { SwitchToThread(); }
#else
#include <sched.h>
static void LetOthersRun(void) { sched_yield(); }
#endif
#endif

#include "host_binding.h"

#include <directive_plugin.h>

#include <stdatomic.h>
#include <stdlib.h>
#include <string.h>

#if defined(FAULT_HOST_STATE_LOCALE)
#include <locale.h>
#elif defined(FAULT_HOST_STATE_ROUNDING)
#include <fenv.h>
#elif defined(FAULT_HOST_STATE_SIGNAL)
#include <signal.h>
#elif defined(FAULT_HOST_STATE_OUTPUT) || defined(FAULT_HOST_STATE_FILE)
#include <stdio.h>
#elif defined(FAULT_HOST_STATE_UMASK) && defined(_WIN32)
#include <io.h>
#include <sys/stat.h>
#elif defined(FAULT_HOST_STATE_UMASK)
#include <sys/stat.h>
#elif defined(FAULT_HOST_STATE_FOLDER) && defined(_WIN32)
#include <direct.h>
#elif defined(FAULT_HOST_STATE_FOLDER)
#include <unistd.h>
#endif

#define CAPACITY DIRECTIVE_RESULT_CAPACITY
#define NAME "note="
#define NAME_LENGTH 5

/* The callbacks' calling convention: FAULT_CALLING_CONVENTION leaves out
 * DIRECTIVE_CALL, which on 32-bit Windows makes them cdecl, so each call
 * leaves its 12 bytes of arguments on the host's stack; elsewhere it changes
 * nothing. */
#ifdef FAULT_CALLING_CONVENTION
#define NOTE_CALL
#else
#define NOTE_CALL DIRECTIVE_CALL
#endif

static int IsBlank(char c) { return c != '\0' && (unsigned char)c <= ' '; }

static int IsLetter(char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }

#ifdef FAULT_THREADS
/* One scratch buffer for every call, which each result is built in. */
static char scratch[CAPACITY + 1];
#endif

/* A buffer of `size` bytes for a result. */
static char *ResultBuffer(size_t size) {
#ifdef FAULT_THREADS
  return size <= CAPACITY ? scratch : NULL;
#else
  return (char *)malloc(size);
#endif
}

static void ReleaseResult(char *result) {
#ifndef FAULT_THREADS
  free(result);
#else
  (void)result;
#endif
}

/* Writes `length` bytes of `result` (a buffer of the callback's own) and a
 * NUL, or "" when that would not fit. */
static void Write(const char *result, size_t length, char *out) {
#ifdef FAULT_TERMINATION
  if (length == 0) {
    return; /* "nothing to write", and no NUL either */
  }
#endif
  if (length >= CAPACITY) {
    out[0] = '\0';
    return;
  }
#ifdef FAULT_THREADS
  LetOthersRun();
#endif
#if defined(FAULT_CAPACITY)
  /* Ends the result with two NULs, as a list of strings is ended, though
   * only one is counted against the capacity. */
  memcpy(out, result, length);
  out[length] = '\0';
  out[length + 1] = '\0';
#else
  memcpy(out, result, length);
  out[length] = '\0';
#endif
}

/* "note=" and the text after '#' and the keyword's letters, trimmed, into
 * a new buffer; its length in *length. Empty when there is no such text. */
static char *ParseResult(const char *text, size_t *length) {
  const char *start = text;
  const char *end;
  char *result;
  if (*start == '#') {
    ++start;
  }
  while (IsLetter(*start)) {
    ++start;
  }
  while (IsBlank(*start)) {
    ++start;
  }
  end = start + strlen(start);
  while (end > start && IsBlank(end[-1])) {
    --end;
  }
  *length = end == start ? 0 : NAME_LENGTH + (size_t)(end - start);
  result = ResultBuffer(*length + 1);
  if (result != NULL && *length > 0) {
    memcpy(result, NAME, NAME_LENGTH);
    memcpy(result + NAME_LENGTH, start, (size_t)(end - start));
  }
  return result;
}

#ifdef FAULT_DETERMINISM
/* Remembers the last result by the address of its text: wrong once the host
 * has put another directive in the same buffer. */
static atomic_flag lastLock = ATOMIC_FLAG_INIT;
static const char *lastText = NULL;
static char lastResult[CAPACITY];
static size_t lastLength = 0;
#endif

#ifdef FAULT_LEAKS
/* Every text parsed, kept in a history that nothing trims or frees. */
struct Seen {
  struct Seen *next;
  char text[256];
};
static struct Seen *_Atomic history = NULL;

static void Remember(const char *text) {
  struct Seen *seen = (struct Seen *)malloc(sizeof *seen);
  if (seen == NULL) {
    return;
  }
  strncpy(seen->text, text, sizeof seen->text - 1);
  seen->text[sizeof seen->text - 1] = '\0';
  seen->next = atomic_load(&history);
  while (!atomic_compare_exchange_weak(&history, &seen->next, seen)) {
  }
}
#endif

#ifdef FAULT_HOST_STATE_SIGNAL
static void OnInterrupt(int signal) { (void)signal; }
#endif

#ifdef FAULT_HOST_STATE_FILE
/* A log of long texts, opened at the first and never closed. */
static atomic_flag logOpened = ATOMIC_FLAG_INIT;
static FILE *textLog;
#ifdef _WIN32
#define LOG_PATH "NUL"
#else
#define LOG_PATH "/dev/null"
#endif
#endif

/* What the FAULT_HOST_STATE_* modules do to the host's process on each
 * parse: each changes one thing that belongs to the host. */
static void TouchHostState(const char *text) {
  (void)text;
#if defined(FAULT_HOST_STATE_LOCALE) && defined(_WIN32)
  setlocale(LC_NUMERIC, "");
#elif defined(FAULT_HOST_STATE_LOCALE)
  setlocale(LC_NUMERIC, "C.UTF-8");
#elif defined(FAULT_HOST_STATE_ROUNDING)
  fesetround(FE_UPWARD);
#elif defined(FAULT_HOST_STATE_SIGNAL)
  signal(SIGINT, OnInterrupt);
#elif defined(FAULT_HOST_STATE_UMASK) && defined(_WIN32)
  _umask(_S_IWRITE);
#elif defined(FAULT_HOST_STATE_UMASK)
  umask(S_IRWXG);
#elif defined(FAULT_HOST_STATE_FOLDER) && defined(_WIN32)
  if (_chdir("..") != 0) {
    return;
  }
#elif defined(FAULT_HOST_STATE_FOLDER)
  if (chdir("..") != 0) {
    return;
  }
#elif defined(FAULT_HOST_STATE_ENVIRONMENT) && defined(_WIN32)
  _putenv("NOTE_SEEN=1");
#elif defined(FAULT_HOST_STATE_ENVIRONMENT)
  setenv("NOTE_SEEN", "1", 1);
#elif defined(FAULT_HOST_STATE_OUTPUT)
  fputs("note: parsing\n", stdout);
#elif defined(FAULT_HOST_STATE_FILE)
  if (text != NULL && strlen(text) > 1000 &&
      !atomic_flag_test_and_set(&logOpened)) {
    textLog = fopen(LOG_PATH, "w");
  }
#endif
}

#ifdef FAULT_REGISTRATION_LATE
static DirectiveBool NOTE_CALL NoteAssemble(const char *keyword,
                                            const char *properties, char *out);
#endif

static DirectiveBool NOTE_CALL NoteParse(const char *text, char *out,
                                         uint32_t extra) {
  size_t length = 0;
  char *result;
  (void)extra;
  if (out == NULL) {
    return 0;
  }
#ifdef FAULT_EXTRA
  /* Takes a non-zero extra for the length of the text, as if the host passed
   * it, and reads that many bytes. */
  if (text != NULL && extra != 0) {
    volatile unsigned char sum = 0;
    uint32_t i;
    for (i = 0; i < extra; ++i) {
      sum = (unsigned char)(sum ^ (unsigned char)text[i]);
    }
  }
#endif
#ifdef FAULT_STACK
  /* Works on a copy of the text on the stack, 64 bytes a byte (at most
   * 512 KiB, which a thread of the platform's default stack holds). */
  if (text != NULL) {
    size_t need = strlen(text) * 64 + 1;
    need = need < 512 * 1024 ? need : 512 * 1024;
    {
      volatile char copy[need];
      size_t i;
      for (i = 0; i < need; i += 512) {
        copy[i] = text[0];
      }
      copy[need - 1] = '\0';
      if (copy[need - 1] != '\0') {
        return 0;
      }
    }
  }
#endif
#ifdef SHAPE_SLOW
  Pause(2);
#endif
  TouchHostState(text);
#ifdef FAULT_LEAKS
  Remember(text != NULL ? text : "");
#endif
#ifdef FAULT_REGISTRATION_LATE
  /* Registers a keyword when first used, outside AutoRegister. */
  {
    const RegisterParseAssemblePluginsProc add = HostRegisterEntryPoint();
    if (add != NULL) {
      add("#LATE", NoteParse, NoteAssemble);
    }
  }
#endif
#ifdef SHAPE_HANG
  /* Waits forever for the line a backslash continues. */
  while (text != NULL && *text != '\0' && text[strlen(text) - 1] == '\\') {
    Pause(50);
  }
#endif
#ifdef SHAPE_ABORT
  if (text != NULL && strlen(text) > 60000) {
    abort();
  }
#endif
#ifdef FAULT_OVER_READ
  /* Reads past the host's text only: the module's own "" is not its fault. */
  const int hostText = text != NULL;
#endif
#ifndef FAULT_NULL_POINTERS
  /* FAULT_NULL_POINTERS: a null text is not looked for. */
  text = text != NULL ? text : "";
#endif
#ifdef FAULT_INPUTS_UNCHANGED
  if (*text != '\0') {
    /* Marks the text as being read in its first byte, for a moment. */
    volatile char *first = (volatile char *)(uintptr_t)text;
    const char saved = *first;
    *first = '\x01';
    *first = saved;
  }
#endif
#ifdef FAULT_OVER_READ
  if (hostText) {
    /* Looks at the first 16 bytes at once, however short the text. */
    char head[16];
    unsigned char sum = 0;
    size_t i;
    memcpy(head, text, sizeof head);
    for (i = 0; i < sizeof head; ++i) {
      sum = (unsigned char)(sum ^ (unsigned char)head[i]);
    }
    if (sum == 0x7f && head[0] == '\x01') {
      out[0] = '\0';
      return 0;
    }
  }
#endif
#ifdef FAULT_DETERMINISM
  while (atomic_flag_test_and_set(&lastLock)) {
  }
  if (text != lastText) {
    result = ParseResult(text, &length);
    lastText = text;
    lastLength = result != NULL && length < CAPACITY ? length : 0;
    memcpy(lastResult, result != NULL ? result : "", lastLength);
    ReleaseResult(result);
  }
  Write(lastResult, lastLength, out);
  atomic_flag_clear(&lastLock);
  return 0;
#endif
  result = ParseResult(text, &length);
  if (result == NULL) {
    out[0] = '\0';
    return 0;
  }
#ifdef FAULT_IN_PLACE
  /* The result written straight from the text, name first, as if out could
   * not be the text. */
  if (length > 0 && length < CAPACITY) {
    const char *value = text + strlen(text);
    while (value > text && IsBlank(value[-1])) {
      --value;
    }
    value -= length - NAME_LENGTH;
    memcpy(out, NAME, NAME_LENGTH);
    memmove(out + NAME_LENGTH, value, length - NAME_LENGTH);
    out[length] = '\0';
    ReleaseResult(result);
    return 0;
  }
#endif
  Write(result, length, out);
  ReleaseResult(result);
  return 0;
}

/* KEYWORD, a space and the value of the first line "note=..." (in any ASCII
 * case; lines broken by CR or LF). */
static DirectiveBool NOTE_CALL NoteAssemble(const char *keyword,
                                            const char *properties, char *out) {
  const char *line = properties != NULL ? properties : "";
  size_t keywordLength;
  size_t length;
  char *result;
  if (out == NULL) {
    return 0;
  }
#ifdef SHAPE_SLOW
  Pause(2);
#endif
  keyword = keyword != NULL ? keyword : "";
  keywordLength = strlen(keyword);
  length = keywordLength;
  while (*line != '\0') {
    const size_t lineLength = strcspn(line, "\r\n");
    size_t i = 0;
    while (i < NAME_LENGTH && i < lineLength &&
           (line[i] == NAME[i] || (line[i] | 0x20) == NAME[i])) {
      ++i;
    }
    if (i == NAME_LENGTH) {
      break;
    }
    line += lineLength + (line[lineLength] != '\0');
  }
  if (*line != '\0') {
    length += 1 + strcspn(line, "\r\n") - NAME_LENGTH;
  }
  result = ResultBuffer(length + 1);
  if (result == NULL) {
    out[0] = '\0';
    return 0;
  }
  memcpy(result, keyword, keywordLength);
  if (*line != '\0') {
    result[keywordLength] = ' ';
    memcpy(result + keywordLength + 1, line + NAME_LENGTH,
           length - keywordLength - 1);
  }
  Write(result, length, out);
  ReleaseResult(result);
  return 0;
}

#ifdef FAULT_UNLOAD
/* Allocated with each load and never freed. */
void *volatile leaked;
__attribute__((constructor)) static void Leak(void) {
  leaked = malloc(64 * 1024);
  if (leaked != NULL) {
    memset(leaked, 1, 64 * 1024);
  }
}
#endif

static void Register(void) {
  const RegisterParseAssemblePluginsProc add = HostRegisterEntryPoint();
#ifdef FAULT_REGISTRATION
  /* Registers once per process, however often the host asks. */
  static int registered = 0;
  if (registered) {
    return;
  }
  registered = 1;
#endif
  if (add != NULL) {
    add("#NOTE", (ParseProc)NoteParse, (AssembleProc)NoteAssemble);
#ifdef FAULT_REGISTRATION_DUPLICATE
    /* The same keyword in another case, where one handler was meant. */
    add("#Note", NoteParse, NoteAssemble);
#endif
  }
}

#if defined(FAULT_EXPORTS) && defined(_WIN32) && !defined(_WIN64)
/* Exported by __declspec(dllexport) without a .def file, so under its
 * stdcall name AutoRegister@0, which no host looks up. */
__declspec(dllexport) void DIRECTIVE_CALL AutoRegister(void) { Register(); }
#elif defined(FAULT_EXPORTS)
/* Exported under the name a C++ compiler gives AutoRegister without
 * extern "C", which no host looks up. */
DIRECTIVE_EXPORT void DIRECTIVE_CALL
MangledAutoRegister(void) __asm__("_Z12AutoRegisterv");
#ifdef _WIN32
__declspec(dllexport)
#endif
    void DIRECTIVE_CALL MangledAutoRegister(void) {
  Register();
}
#else
DIRECTIVE_EXPORT void DIRECTIVE_CALL AutoRegister(void) { Register(); }
#endif
