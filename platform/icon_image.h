#pragma once

#include <QImage>

#include "platform/resources.h"

/// One image of an icon resource, in its 16 colours, transparent where marked.
QImage AfxRenderIconImage(const IconImage& image);
