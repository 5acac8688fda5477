/* What the Windows SDK's math.h declares and Wine's leaves out: the float and long double
   forms that the C++ library's <cmath> names. Declarations only; nothing here is linked. */
#pragma once
#include_next <math.h>

#ifdef __cplusplus
extern "C" {
#endif

#define STRCRYPT_DECLARE_L(f) long double __cdecl f##l(long double);
#define STRCRYPT_DECLARE_LL(f) long double __cdecl f##l(long double, long double);
STRCRYPT_DECLARE_L(acos) STRCRYPT_DECLARE_L(acosh) STRCRYPT_DECLARE_L(asin)
STRCRYPT_DECLARE_L(asinh) STRCRYPT_DECLARE_L(atan) STRCRYPT_DECLARE_L(atanh)
STRCRYPT_DECLARE_L(cbrt) STRCRYPT_DECLARE_L(ceil) STRCRYPT_DECLARE_L(cos)
STRCRYPT_DECLARE_L(cosh) STRCRYPT_DECLARE_L(erf) STRCRYPT_DECLARE_L(erfc)
STRCRYPT_DECLARE_L(exp) STRCRYPT_DECLARE_L(exp2) STRCRYPT_DECLARE_L(expm1)
STRCRYPT_DECLARE_L(fabs) STRCRYPT_DECLARE_L(floor) STRCRYPT_DECLARE_L(lgamma)
STRCRYPT_DECLARE_L(log) STRCRYPT_DECLARE_L(log10) STRCRYPT_DECLARE_L(log1p)
STRCRYPT_DECLARE_L(log2) STRCRYPT_DECLARE_L(logb) STRCRYPT_DECLARE_L(nearbyint)
STRCRYPT_DECLARE_L(sin) STRCRYPT_DECLARE_L(sinh) STRCRYPT_DECLARE_L(sqrt)
STRCRYPT_DECLARE_L(tan) STRCRYPT_DECLARE_L(tanh) STRCRYPT_DECLARE_L(tgamma)
STRCRYPT_DECLARE_LL(atan2) STRCRYPT_DECLARE_LL(fdim) STRCRYPT_DECLARE_LL(fmax)
STRCRYPT_DECLARE_LL(fmin) STRCRYPT_DECLARE_LL(fmod) STRCRYPT_DECLARE_LL(hypot)
STRCRYPT_DECLARE_LL(nextafter) STRCRYPT_DECLARE_LL(pow) STRCRYPT_DECLARE_LL(remainder)
STRCRYPT_DECLARE_LL(nexttoward)
#undef STRCRYPT_DECLARE_L
#undef STRCRYPT_DECLARE_LL

double __cdecl erfc(double);
float __cdecl erfcf(float);
double __cdecl nexttoward(double, long double);
float __cdecl nexttowardf(float, long double);
long double __cdecl frexpl(long double, int*);
int __cdecl ilogbl(long double);
long double __cdecl ldexpl(long double, int);
long double __cdecl modfl(long double, long double*);
long double __cdecl remquol(long double, long double, int*);
long double __cdecl scalblnl(long double, long);
long double __cdecl scalbnl(long double, int);

#ifdef __cplusplus
}
#endif
