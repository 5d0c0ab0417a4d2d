/**
 * @file zentravolk/common.h
 * @brief Version, linkage and export macros, error numbers and the values
 *        shared by every part of the Zentravolk library.
 *
 * Included by every other public header; a program includes
 * <zentravolk/zentravolk.h> instead of this file.
 */
#ifndef ZENTRAVOLK_COMMON_H
#define ZENTRAVOLK_COMMON_H

#include <stdint.h>

#include "zentravolk/scancodes.h"

/** @defgroup zq_common Common definitions
 *  @brief Version, error numbers and the values that every part shares.
 *  @{
 */

/** Major version of the library. */
#define ZQ_VERSION_MAJOR 0
/** Minor version of the library. */
#define ZQ_VERSION_MINOR 1
/** The version as text, "major.minor". */
#define ZQ_VERSION_STRING "0.1"

/** @cond ZQ_INTERNAL_MACROS */
#ifdef __cplusplus
#define ZQ_BEGIN_DECLS extern "C" {
#define ZQ_END_DECLS }
#define ZQ_NORETURN [[noreturn]]
#else
#define ZQ_BEGIN_DECLS
#define ZQ_END_DECLS
#define ZQ_NORETURN _Noreturn
#endif

#if defined(__GNUC__) || defined(__clang__)
#define ZQ_API __attribute__((visibility("default")))
#else
#define ZQ_API
#endif
/** @endcond */

/** @name Error numbers
 *  Every operation that can fail stores one of these as the runtime's last
 *  error (read it with rt_get_error()) and returns it. Nothing in the library
 *  prints, throws or aborts.
 *  @{
 */
/** Success. */
#define ZQ_OK 0
/** Illegal call: a bad argument, no screen open, an unsupported
 *  combination, a file number that is not open, or a driver that cannot do
 *  what was asked (or could not be started). */
#define ZQ_ERR_ILLEGAL_CALL 1
/** A file cannot be opened. */
#define ZQ_ERR_FILE_NOT_FOUND 2
/** A file's data is bad or ends early, or an input/output error. */
#define ZQ_ERR_FILE_IO 3
/** No memory for the text of a line input. */
#define ZQ_ERR_OUT_OF_MEMORY 4
/** @} */

/** The value that stands for an integer argument that was not given (for
 *  example the mode of rt_cls(), or the source rectangle of gfx_put() meaning
 *  "the whole image"). */
#define ZQ_OMITTED (-65536)

/** Truth value "true" as the library returns it (rt_multikey(),
 *  gfx_multikey()); "false" is 0. */
#define ZQ_TRUE (-1)

/* Scancodes: ZQ_SC_ESCAPE, ZQ_SC_A, ... for every key (zentravolk/scancodes.h). */

/** @} */

#endif /* ZENTRAVOLK_COMMON_H */
