// platform/utf8.h: UTF-16 text as UTF-8 and back; the conversions are the public header's, which
// hosts use too.
#pragma once

#include "pixelfold/utf8.hpp"
#include "platform/wide_string.h"
