// Resource numbers shared by the .rc file and the windows that load them.
#pragma once

#define IDI_TALLYWICK 1
