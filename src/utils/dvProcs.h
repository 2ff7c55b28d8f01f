#pragma once

// The library's free routines in one include.

// Text, numbers, SQL literals, words, phonetic keys and addresses, scrambling,
// files, the environment and messages.
#include "dvAddress.h"
#include "dvCrypt.h"
#include "dvFiles.h"
#include "dvMessages.h"
#include "dvSQL.h"
#include "dvStrings.h"
#include "dvWords.h"
