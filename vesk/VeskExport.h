#pragma once

#include <QtGlobal>

#if defined(VESK_LIBRARY)
#define VESK_EXPORT Q_DECL_EXPORT
#else
#define VESK_EXPORT Q_DECL_IMPORT
#endif
