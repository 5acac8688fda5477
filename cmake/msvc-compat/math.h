/* What the Windows SDK's math.h declares and Wine's leaves out: the float and long double
   forms that the C++ library's <cmath> names. Declarations only, for C++; nothing here is
   linked. */
#pragma once
#include_next <math.h>

extern "C" {

#define STRCRYPT_L(f) long double __cdecl f##l(long double);
#define STRCRYPT_LL(f) long double __cdecl f##l(long double, long double);
STRCRYPT_L(acos) STRCRYPT_L(acosh) STRCRYPT_L(asin) STRCRYPT_L(asinh) STRCRYPT_L(atan)
STRCRYPT_L(atanh) STRCRYPT_L(cbrt) STRCRYPT_L(ceil) STRCRYPT_L(cos) STRCRYPT_L(cosh)
STRCRYPT_L(erf) STRCRYPT_L(erfc) STRCRYPT_L(exp) STRCRYPT_L(exp2) STRCRYPT_L(expm1)
STRCRYPT_L(fabs) STRCRYPT_L(floor) STRCRYPT_L(lgamma) STRCRYPT_L(log) STRCRYPT_L(log10)
STRCRYPT_L(log1p) STRCRYPT_L(log2) STRCRYPT_L(logb) STRCRYPT_L(nearbyint) STRCRYPT_L(sin)
STRCRYPT_L(sinh) STRCRYPT_L(sqrt) STRCRYPT_L(tan) STRCRYPT_L(tanh) STRCRYPT_L(tgamma)
STRCRYPT_LL(atan2) STRCRYPT_LL(fdim) STRCRYPT_LL(fmax) STRCRYPT_LL(fmin) STRCRYPT_LL(fmod)
STRCRYPT_LL(hypot) STRCRYPT_LL(nextafter) STRCRYPT_LL(pow) STRCRYPT_LL(remainder)
STRCRYPT_LL(nexttoward)
#undef STRCRYPT_L
#undef STRCRYPT_LL

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

}
