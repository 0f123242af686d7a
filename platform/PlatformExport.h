#pragma once

#include <QtGlobal>

#if defined(MODELPLATFORM_LIBRARY)
#define MODELPLATFORM_EXPORT Q_DECL_EXPORT
#else
#define MODELPLATFORM_EXPORT Q_DECL_IMPORT
#endif
