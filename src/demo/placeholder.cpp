// TEMPORARY: the company generator replaces this file.
