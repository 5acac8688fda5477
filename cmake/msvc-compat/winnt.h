/* Wine's winnt.h defines these for x86 as inline functions, under the names of intrinsics
   that clang-cl already has built in there; give its functions other names. */
#pragma once
#define _InterlockedAnd64 strcrypt_wine_InterlockedAnd64
#define _InterlockedCompareExchange128 strcrypt_wine_InterlockedCompareExchange128 /* x64 */
#define _InterlockedCompareExchangePointer strcrypt_wine_InterlockedCompareExchangePointer
#define _InterlockedDecrement64 strcrypt_wine_InterlockedDecrement64
#define _InterlockedExchangeAdd64 strcrypt_wine_InterlockedExchangeAdd64
#define _InterlockedExchangePointer strcrypt_wine_InterlockedExchangePointer
#define _InterlockedIncrement64 strcrypt_wine_InterlockedIncrement64
#define _InterlockedOr64 strcrypt_wine_InterlockedOr64
#define _InterlockedXor64 strcrypt_wine_InterlockedXor64
#include_next <winnt.h>
