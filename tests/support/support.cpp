// shared test support
