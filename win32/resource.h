#pragma once

// Resource IDs shared by pelmora.rc and the program.
#define PELMORA_ICON 1
