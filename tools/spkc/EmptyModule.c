/* The module every pack starts from: no code, no imports, no entry point;
   the pack compiler only adds resources to it. */
