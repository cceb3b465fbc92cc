/*
 * directive_plugin.h - the C ABI between a host application and a directive
 * plug-in module (DirectivePlugin.dll on Windows, DirectivePlugin.so on
 * Linux).
 *
 * A directive is a run of text that starts with '#' and a keyword, such as
 * "#LABEL", "#GOTO" or "#IF". For each keyword it handles, a plug-in offers
 * two callbacks: parse (directive text -> property text) and assemble
 * (keyword + property text -> directive text).
 *
 * How a host uses a plug-in:
 *   1. The host executable exports the six registration entry points named
 *      below (DIRECTIVE_REGISTER_*), undecorated, with DIRECTIVE_CALL.
 *   2. The host loads the module. While it loads, the module looks the entry
 *      points up by name in the host executable (only there: a symbol that a
 *      shared library of the host defines is not bound) and keeps them until
 *      it is unloaded. A missing entry point is simply not used.
 *   3. The host calls the module's only export, AutoRegister. The plug-in
 *      calls RegisterParseAssemblePlugins once per keyword, in a fixed order.
 *   4. The host calls the registered callbacks as often as it likes, from any
 *      thread, until it unloads the module.
 *
 * Strings: every string that crosses this boundary is a NUL-terminated
 * string of 8-bit characters in the system's ANSI code page. The plug-in
 * never decodes them; bytes of 0x80 and above pass through unchanged.
 *
 * Ownership: the caller owns every pointer it passes. The plug-in keeps no
 * pointer to host memory after a callback returns, and keeps no state
 * between calls. Keyword strings passed to RegisterParseAssemblePlugins are
 * constants of the module, valid until the module is unloaded.
 *
 * Output buffers: the ABI passes no buffer size. Every `out` buffer a host
 * passes must hold DIRECTIVE_RESULT_CAPACITY bytes. A callback writes either
 * its whole result with the terminating NUL, or, when that would not fit,
 * the empty string; it never writes a byte past the capacity.
 *
 * Memory: a typical call allocates nothing. A property text of many lines
 * and an in-place call (below) take memory from the heap; when the plug-in
 * cannot get it, the callback writes the empty string and returns 0. No
 * exception ever leaves a callback or AutoRegister.
 *
 * In-place calls: `out` may be the same buffer as the text, keyword or
 * property text passed with it, or overlap it (a host may parse a directive
 * in its own buffer). The result is exactly the one separate buffers give,
 * near the capacity too: a callback reads what it needs before it writes.
 * Such a call needs DIRECTIVE_RESULT_CAPACITY bytes of memory of its own,
 * however long its strings are.
 *
 * Null pointers: a null input string (text, keyword, properties) reads as
 * the empty string; a null `out` gets nothing written.
 *
 * Exporting the entry points from a host executable:
 *   - Windows: mark them DIRECTIVE_HOST_EXPORT; on 32-bit Windows also link
 *     the executable with --kill-at (MinGW) or list them in a .def file, so
 *     that the stdcall names carry no @N suffix.
 *   - Linux: mark them DIRECTIVE_HOST_EXPORT and link the executable with
 *     -rdynamic (CMake: set_target_properties(host PROPERTIES ENABLE_EXPORTS
 *     ON)); without it an executable exports nothing and the plug-in binds
 *     no entry point.
 *   The CMake package's directive_plugin_host(TARGET) sets up that link for
 *   an executable on every platform.
 *
 * This header compiles as C99 and as C++.
 */
#ifndef DIRECTIVE_PLUGIN_H
#define DIRECTIVE_PLUGIN_H

#include <stdint.h>

/*
 * Version of this ABI and of the module built with it. A module and a host
 * of the same major version work together.
 */
#define DIRECTIVE_PLUGIN_VERSION_MAJOR 1
#define DIRECTIVE_PLUGIN_VERSION_MINOR 1
#define DIRECTIVE_PLUGIN_VERSION_PATCH 0
#define DIRECTIVE_PLUGIN_VERSION_STRING "1.1.0"

/*
 * Calling convention of every function and callback of this ABI: stdcall on
 * 32-bit Windows, the platform default elsewhere. Define DIRECTIVE_CALL
 * before including this header to override it.
 */
#ifndef DIRECTIVE_CALL
#if defined(_WIN32) && !defined(_WIN64)
#define DIRECTIVE_CALL __stdcall
#else
#define DIRECTIVE_CALL
#endif
#endif

/*
 * DIRECTIVE_EXPORT marks the plug-in's export (undecorated on Windows through
 * the module's .def file). DIRECTIVE_HOST_EXPORT marks a host executable's
 * registration entry points (see above for how to link the executable).
 */
#ifndef DIRECTIVE_EXPORT
#if defined(_WIN32)
#define DIRECTIVE_EXPORT
#elif defined(__GNUC__)
#define DIRECTIVE_EXPORT __attribute__((visibility("default")))
#else
#define DIRECTIVE_EXPORT
#endif
#endif

#ifndef DIRECTIVE_HOST_EXPORT
#if defined(_WIN32)
#define DIRECTIVE_HOST_EXPORT __declspec(dllexport)
#elif defined(__GNUC__)
#define DIRECTIVE_HOST_EXPORT __attribute__((visibility("default")))
#else
#define DIRECTIVE_HOST_EXPORT
#endif
#endif

/* Size in bytes, NUL included, of every `out` buffer a host passes. */
#define DIRECTIVE_RESULT_CAPACITY 65536

/*
 * Stack in bytes a callback may use, whatever its input: a host may call the
 * callbacks from a thread of this much stack (directive-host validate runs
 * every call so). The DirectivePlugin module uses under 1 KiB of it on
 * Linux x86-64 (measured on texts of 30 KB and more and on results near the
 * capacity), a wide margin for every platform; a callback that copies its
 * input onto the stack (an array or alloca sized by it) does not keep to it.
 */
#define DIRECTIVE_CALLBACK_STACK (128 * 1024)

/* Names of the host's registration entry points, looked up in the host
 * executable when the plug-in loads. */
#define DIRECTIVE_REGISTER_EDIT_PLUGIN "RegisterEditPlugin"
#define DIRECTIVE_REGISTER_VALIDATE_PLUGIN "RegisterValidatePlugin"
#define DIRECTIVE_REGISTER_TYPE_EDIT_PLUGIN "RegisterTypeEditPlugin"
#define DIRECTIVE_REGISTER_TYPE_VALIDATE_PLUGIN "RegisterTypeValidatePlugin"
#define DIRECTIVE_REGISTER_INCLUSION "RegisterInclusion"
#define DIRECTIVE_REGISTER_PARSE_ASSEMBLE_PLUGINS "RegisterParseAssemblePlugins"

/* Name of the plug-in's one export. */
#define DIRECTIVE_AUTO_REGISTER "AutoRegister"

/*
 * Names that hosts and the DirectivePlugin module share. The module
 * registers these keywords, in this order:
 *   "#LABEL" - marks a place:      #LABEL = "start"   ->  label=start
 *   "#GOTO"  - names a place:      #GOTO = "start"    ->  label=start
 *   "#IF"    - compares and acts:  #IF "x" == "y" goto done  ->
 *              argument1=x, operator===, argument2=y, action=goto,
 *              actionvalue=done
 * Keywords and property names compare case-insensitively. An #IF whose
 * action is DIRECTIVE_ACTION_GOTO (in any case) names a label in its action
 * value, as a #GOTO does.
 */
#define DIRECTIVE_KEYWORD_LABEL "#LABEL"
#define DIRECTIVE_KEYWORD_GOTO "#GOTO"
#define DIRECTIVE_KEYWORD_IF "#IF"

#define DIRECTIVE_PROPERTY_LABEL "label"
#define DIRECTIVE_PROPERTY_ARGUMENT1 "argument1"
#define DIRECTIVE_PROPERTY_OPERATOR "operator"
#define DIRECTIVE_PROPERTY_ARGUMENT2 "argument2"
#define DIRECTIVE_PROPERTY_ACTION "action"
#define DIRECTIVE_PROPERTY_ACTIONVALUE "actionvalue"

#define DIRECTIVE_ACTION_GOTO "goto"

#ifdef __cplusplus
extern "C" {
#endif

/* A one-byte truth value. Callbacks return 0; hosts must give the value no
 * meaning. */
typedef uint8_t DirectiveBool;

/*
 * Parse callback: turns one directive into property text.
 *   text  - the directive, starting with '#' and the keyword. Read only.
 *           Null reads as "".
 *   out   - buffer of DIRECTIVE_RESULT_CAPACITY bytes that receives the
 *           property text: lines "name=value", each followed by CR LF (the
 *           "#LABEL"/"#GOTO" parse writes one line without a break), or "".
 *           A result that would not fit is written as "". Null: nothing is
 *           written.
 *   extra - never read by the plug-in.
 * Returns 0.
 */
typedef DirectiveBool(DIRECTIVE_CALL *ParseProc)(const char *text, char *out,
                                                 uint32_t extra);

/*
 * Assemble callback: turns a keyword and property text into a directive.
 *   keyword    - copied verbatim to the front of the directive. Null reads
 *                as "".
 *   properties - property text: lines "name=value" broken by CR, LF or
 *                CR LF. Names compare case-insensitively under the user's
 *                default locale. Null reads as "".
 *   out        - buffer of DIRECTIVE_RESULT_CAPACITY bytes that receives the
 *                directive text; a result that would not fit is written as
 *                "". Null: nothing is written.
 * Returns 0.
 */
typedef DirectiveBool(DIRECTIVE_CALL *AssembleProc)(const char *keyword,
                                                    const char *properties,
                                                    char *out);

/*
 * Host entry point RegisterParseAssemblePlugins, called by the plug-in from
 * AutoRegister once per keyword ("#LABEL", "#GOTO", "#IF", in that order).
 *   keyword  - constant of the module, valid until the module is unloaded.
 *   parse    - the keyword's parse callback.
 *   assemble - the keyword's assemble callback.
 * The plug-in ignores the result.
 */
typedef DirectiveBool(DIRECTIVE_CALL *RegisterParseAssemblePluginsProc)(
    const char *keyword, ParseProc parse, AssembleProc assemble);

/*
 * The other five host entry points (RegisterEditPlugin, RegisterValidatePlugin,
 * RegisterTypeEditPlugin, RegisterTypeValidatePlugin, RegisterInclusion) are
 * looked up and held, but never called; their signatures are the host's.
 */
typedef void(DIRECTIVE_CALL *DirectiveHostProc)(void);

/*
 * The plug-in's one export. The host calls it after loading the module; it
 * registers every keyword through RegisterParseAssemblePlugins, or nothing
 * when the host executable does not export that entry point. Calling it
 * again repeats the registrations.
 */
typedef void(DIRECTIVE_CALL *AutoRegisterProc)(void);
DIRECTIVE_EXPORT void DIRECTIVE_CALL AutoRegister(void);

#ifdef __cplusplus
}
#endif

#endif /* DIRECTIVE_PLUGIN_H */
