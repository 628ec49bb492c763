// Removed once the database layer lands.
