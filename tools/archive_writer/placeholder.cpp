namespace tarq::tools {}
