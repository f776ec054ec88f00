#pragma once
// The data layer in one include.
#include "ado/command.h"
#include "ado/compaction.h"
#include "ado/connection.h"
#include "ado/database_lock.h"
#include "ado/error.h"
#include "ado/recordset.h"
#include "ado/values.h"
#include "ado/workgroup.h"
