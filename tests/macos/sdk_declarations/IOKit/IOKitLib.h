#include "../apple_sdk.h"
