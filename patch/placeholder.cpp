// Replaced by the patch readers.
