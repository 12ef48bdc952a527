"""The layer check's parts: the table, the libraries, the sources and the includes."""
