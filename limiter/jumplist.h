// The jump list's tasks, apart from the destination list, so that the links
// can be checked where the platform has no jump list.
#pragma once

#include <windows.h>
#include <shobjidl.h>

// Adds the six tasks and two separators, in order, as shell links to
// `collection`. Stops at the first failing call and returns false then.
bool AddJumpListTasks(IObjectCollection* collection);
