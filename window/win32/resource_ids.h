#pragma once
// Resource IDs shared by tickmeter.rc and the code.
#define IDI_TICKMETER 1
