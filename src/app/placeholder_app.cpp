// placeholder until the shell lands
