// Umbrella header of the kolvar library.
#pragma once

#include "kolvar/batch.h"
#include "kolvar/copy.h"
#include "kolvar/database.h"
#include "kolvar/error.h"
#include "kolvar/object.h"
#include "kolvar/ui.h"
#include "kolvar/value.h"
