// Oriented boxes and their collision queries.
#include "collision.h"

static int32_t idCounter = 1;

int32_t nextId() {
    return idCounter++;
}
