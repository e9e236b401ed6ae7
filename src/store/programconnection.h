#pragma once

#include "store/connection.h"

#include <memory>

// The program-wide connection: created and opened at start-up, closed and released at shutdown.
std::unique_ptr<Connection>& ConnSlot();

// The connection in use; throws StoreError when none was created.
Connection& Conn();
