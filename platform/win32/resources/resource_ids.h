#pragma once

#define IDI_POROTEN 1
