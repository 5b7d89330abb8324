#pragma once

#include "tests/support/fixture.h"

// The fixture module's earlier name, for tests written against it.
namespace AudioFixtures = Fixture;
