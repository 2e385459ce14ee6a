namespace threadwick_resources { int placeholder = 0; }
