#pragma once
// Everything a plug-in reaches the game through.

#include "bakkesmod/wrappers/actorwrapper.h"
#include "bakkesmod/wrappers/arraywrapper.h"
#include "bakkesmod/wrappers/canvaswrapper.h"
#include "bakkesmod/wrappers/cvarmanagerwrapper.h"
#include "bakkesmod/wrappers/cvarwrapper.h"
#include "bakkesmod/wrappers/gameeventwrapper.h"
#include "bakkesmod/wrappers/gamewrapper.h"
#include "bakkesmod/wrappers/values.h"
