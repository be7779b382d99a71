#include "persistence/ProjectWindowsIF.h"

ProjectWindowsIF::~ProjectWindowsIF() = default;
