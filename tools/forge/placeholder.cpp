namespace tarq::forge {}
